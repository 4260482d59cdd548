// Deterministic value noise: the same numbers on every run and machine.
#ifndef ARTGEN_NOISE_H
#define ARTGEN_NOISE_H

#include <cstdint>

// A pseudo-random number in [0, 1) for an integer lattice point.
double Hash01(int x, int y, int seed);

// Smooth noise in [0, 1) on a lattice of unit cells. With period > 0 the
// lattice wraps every `period` cells, so the noise repeats exactly.
double ValueNoise(double x, double y, int seed, int period = 0);

// Sum of octaves of ValueNoise, normalised to [0, 1). x and y are in
// cells of the first octave; each octave halves the cell size. With
// period > 0 (cells of the first octave) every octave wraps with it.
double Fbm(double x, double y, int octaves, int seed, int period = 0);

#endif
