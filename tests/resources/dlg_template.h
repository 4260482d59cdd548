// Reads a dialog template (DLGTEMPLATE and its DLGITEMTEMPLATEs) from the
// bytes of an RT_DIALOG resource.
#ifndef TESTS_RESOURCES_DLG_TEMPLATE_H
#define TESTS_RESOURCES_DLG_TEMPLATE_H

#include <string>
#include <vector>

#include "res_bytes.h"

struct DlgItem {
    unsigned long style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    unsigned id = 0;
    std::string className;   // predefined classes given by ordinal are named ("Button"...)
    std::string text;
    unsigned extraBytes = 0;
};

struct DlgTemplate {
    unsigned long style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string menu, className, caption;
    unsigned pointSize = 0;
    std::string faceName;
    std::vector<DlgItem> items;
};

// Parses the template; false (with the reason in `error`) when the bytes
// are not a complete classic DLGTEMPLATE.
bool ParseDlgTemplate(const ResBytes &res, DlgTemplate &out, std::string &error);

#endif
