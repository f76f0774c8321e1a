#pragma once
// Sound files for the metronome's clicks: read through libsndfile into one
// channel of float samples at the output rate, resampled when the file's rate
// differs, and cut to a duration. MapSamples, the resampler, also maps sample
// vectors onto pixel columns for the displays.
#include "audio/WaveGenerators.h"

#include <functional>
#include <string>
#include <vector>

class SndFileLibrary;

using CombineFunction = std::function<float(float current, float incoming)>;

// incoming when its magnitude is at least current's, else current.
float LargerMagnitude(float current, float incoming);

// Spreads source over destination (its present length): equal lengths copy;
// otherwise each source sample lands on the nearest column and is combined
// with what is there, and skipped columns are filled linearly (interpolate)
// or with the new value. An empty destination is left alone.
std::vector<float>& MapSamples(const std::vector<float>& source, std::vector<float>& destination,
                               const CombineFunction& combine, bool interpolate);

// Limits of the files read: more channels or a higher rate is refused.
constexpr int MaxSampleChannels = 64;
constexpr int MaxSampleRate = 768000;

// False (logged with the file and the reason, out unchanged) when the file is
// not a regular file, cannot be read, holds no samples or breaks a limit, or
// the library is missing. Channels are folded into one by the largest
// magnitude per frame. At most maxDurationMs is kept, and only the frames
// needed for that are read.
bool LoadSampleFile(const std::string& path, std::vector<float>& out, float maxDurationMs, int targetRate);
bool LoadSampleFile(SndFileLibrary& library, const std::string& path, std::vector<float>& out, float maxDurationMs,
                    int targetRate);

// A click generator reading the sound file; it fails when the file cannot be read.
ClickGenerator SampleClick(const std::string& path);
