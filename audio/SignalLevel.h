#pragma once
// The input level: RMS after removing the mean, its decibel level on the
// tuner's scale, the gate the analysis asks before estimating a pitch, and
// whether a window's sound stops within it.
#include <cstddef>
#include <vector>

float ComputeRms(const std::vector<float>& samples);
// (20 log10(rms * gain) - offset) / range.
float LevelDb(const std::vector<float>& samples, float gain, float range, float offset);
// The gate the analysis asks: the application state's level offset and
// range, the capture's full scale.
bool IsLevelAbove(const std::vector<float>& samples, float threshold);
// True only when the level (in dB above offsetDb, from full scale `scale`) is
// strictly above threshold; never for silence, empty input or no number.
bool LevelAbove(const std::vector<float>& samples, float threshold, float scale, float offsetDb, float rangeDb);
// How many samples the window's sound lasted: it stopped at the start of the
// first stretch of `slice` samples that lies, with every later one, more than
// fallDb below the stretch one or two before it. The whole length when it did
// not stop within the window.
std::size_t SoundBeforeStop(const std::vector<float>& samples, std::size_t slice, float fallDb);
