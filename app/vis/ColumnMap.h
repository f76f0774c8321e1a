#pragma once
// Maps a block of samples onto a display's columns: each column gets the
// sample of largest magnitude among those that fall on it, columns between
// two of them are interpolated. Values that are no number become 0.
#include <vector>

// Keeps the sign of the larger value (the oscilloscope).
void MapSignedPeaks(const std::vector<float>& block, std::vector<float>& columns, int count);
// Magnitudes only (bars, curtain, waterfall).
void MapMagnitudePeaks(const std::vector<float>& block, std::vector<float>& columns, int count);
// The pen of a palette of 100 for a magnitude: floor(100 v - 0.5), kept
// within 0..99 (magnitudes above 1.005 take the darkest).
int PaletteIndex(float magnitude);
