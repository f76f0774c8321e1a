// The spectral kernels the pitch estimate correlates with to place a peak
// between two bins: kernel j holds the windowed spectrum, bins -4..+4, of a
// tone lying j/count of a bin above bin 0.
#pragma once

#include <array>
#include <vector>

using SpectralKernel = std::array<float, 9>;
using SpectralKernelTable = std::vector<SpectralKernel>;

// The kernel count used for 2048-point windows whatever finer count is
// asked for: about 0.01 Hz steps at 11025 Hz.
constexpr int kStandardKernelCount = 550;

// Fills out and returns the number of kernels in force: the standard table
// for a 2048-sample window when fewer than 550 are requested, else
// requestedCount kernels computed for this window.
int BuildKernelTable(int n, int requestedCount, const std::vector<float>& window, SpectralKernelTable& out);

// Computes requestedCount kernels for an n-point transform with the given
// window (empty for none).
void ComputeKernels(int n, int requestedCount, const std::vector<float>& window, SpectralKernelTable& out);

// Copies the 550 kernels of the 2048-sample, 60 dB Dolph-Chebyshev window;
// they are computed once per process, on first use.
void LoadPrecomputedKernels(SpectralKernelTable& out);
