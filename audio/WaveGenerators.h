#pragma once
// The sounds the loop buffer plays: a sampled periodic wave (the tone clicks
// and the reference tone), a linear fade-out, and one beat of silence with a
// click at its start.
#include <cstddef>
#include <functional>
#include <vector>

using WaveFunction = std::function<double(float)>;
// Fills click with a sound of at most durationMs; beatMs is the beat's length
// for generators that need it. False when there is no sound to make (a sound
// file that cannot be read).
using ClickGenerator = std::function<bool(std::vector<float>& click, int rate, float durationMs, int beatMs)>;

// Longest sound generated, in milliseconds.
constexpr float MaxWaveMs = 10000.0f;

void GenerateWave(float frequency, float durationMs, int rate, std::vector<float>& out, const WaveFunction& wave);
void GenerateSine(float frequency, float durationMs, int rate, std::vector<float>& out);
void GenerateSine(std::vector<float>& out, int rate, float durationMs, float frequency);
// The samples of a sound of durationMs (at most MaxWaveMs) at the rate.
std::size_t WaveLength(float durationMs, int rate);
// The same sine as GenerateSine, turned on from sample to sample in double
// precision rather than computed afresh: several times as fast for a tone of
// seconds, and closer to the true sine (its phase is never rounded to a
// float).
void GenerateLongSine(float frequency, float durationMs, int rate, std::vector<float>& out);
// A click generator playing a sine of the given frequency at full scale: it
// starts at zero, and its end is faded with the beat (BuildBeatBuffer).
ClickGenerator ToneClick(float frequency);

// Scales the last n samples linearly down to 0 (the last sample becomes 0).
void FadeOut(std::vector<float>& v, int n);

// Milliseconds of one beat at bpm (at least 1), rounded to a whole number.
int BeatMs(int bpm);
// Samples of one beat at bpm as the bar is built: the whole milliseconds of
// BeatMs at the rate, rounded; 0 for a tempo below 1.
long BeatSamples(int bpm, int rate);
// One beat at bpm: silence with the generator's click, faded out and cut to
// the beat's length, at its start. False (and the beat empty) for a tempo
// below 1, a missing generator, or one that fails or makes no sound.
bool BuildBeatBuffer(std::vector<float>& beat, int rate, int bpm, const ClickGenerator& generator);
