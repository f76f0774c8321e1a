// Piecewise-linear lookup on a curve of (frequency, value) points: the
// perceived-loudness correction of the reference tone.
#pragma once

#include <map>

// Frequency in Hz -> correction in dB, ascending by frequency.
using LoudnessCurve = std::map<float, float>;

// The curve's value at x: linear between the points around x, the first or
// last point's value outside them, 0 for an empty curve.
float InterpolateCurve(const LoudnessCurve& curve, float x);

// The linear gain 10^(0.05 * curve(f)) the reference tone of f is given.
float LoudnessGain(const LoudnessCurve& curve, float f);
