#pragma once
// One sound that a playback stream repeats without end: a metronome bar or the
// tuner's reference tone. Rebuilt on the GUI thread, played on the engine
// thread, both under its own lock. Process-wide; use after destruction at exit
// throws std::logic_error "Dead Reference Detected".
#include "audio/CurveLookup.h"
#include "audio/WaveGenerators.h"

#include <cstddef>
#include <mutex>
#include <vector>

class TuneConfig;
namespace Vabo {
template <class T> struct CreateWithExitRelease;
}

class LoopBuffer {
public:
    static constexpr int Rate = 44100;
    // Longest bar built: a bar is held whole, beat after beat.
    static constexpr int MaxBeatsPerBar = 32;

    static LoopBuffer& Instance();

    // Fills the output from the sound, continuing where the last call ended
    // and wrapping at its end; silence while the sound is empty.
    int PlayCallback(void* input, void* output, unsigned long frames, double outTime, void* userData);
    // The callable a stream runs to play this buffer.
    static int Play(void* input, void* output, unsigned long frames, double outTime, void* userData);

    // One bar: beatsPerBar - 1 normal beats, then the accented one. False
    // (logged), and the sound unchanged, when bpm or beatsPerBar is below 1,
    // beatsPerBar above MaxBeatsPerBar, or a click cannot be made.
    bool BuildBeats(int bpm, int beatsPerBar, const ClickGenerator& normal, const ClickGenerator& accent);
    // The tuner's reference tone: a sine of the frequency whose length loops
    // without a click (see ReferenceToneDuration), scaled by the loudness curve.
    void BuildTone(float frequency);
    // x * min(gain, 30) / 30 for every sample, gain = 10^(curve(f) / 20).
    static void ApplyLoudness(std::vector<float>& samples, const LoudnessCurve& curve, float frequency);
    // Frequency (Hz) -> loudness correction (dB) of the reference tone.
    void SetLoudnessCurve(const TuneConfig& config);
    void SetLoudnessCurve(LoudnessCurve curve);

    // Replaces the sound (the read position starts again at its beginning).
    void SetSamples(std::vector<float> samples);

    std::size_t Size();
    std::vector<float> Samples();

private:
    friend struct Vabo::CreateWithExitRelease<LoopBuffer>;
    LoopBuffer() = default;

    std::mutex mutex_;
    std::vector<float> samples_;
    std::size_t readIndex_ = 0;
    LoudnessCurve loudnessCurve_;
};
