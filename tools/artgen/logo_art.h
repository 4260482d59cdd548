// The vendor logo as a placeable metafile: a ringed planet with a moon
// over the words ORRIN SOFTWARE, drawn with polygons and ellipses only.
#ifndef ARTGEN_LOGO_ART_H
#define ARTGEN_LOGO_ART_H

#include <cstdint>
#include <vector>

#include "bytes.h"

// Bounding box and resolution written into the placeable header.
const int kLogoLeft = -4117, kLogoTop = -582, kLogoRight = 3358, kLogoBottom = 5231;
const int kLogoUnitsPerInch = 1000;

// The metafile; brushColours, when given, receives every brush colour.
Bytes MakeLogoMetafile(std::vector<uint32_t> *brushColours = nullptr);

#endif
