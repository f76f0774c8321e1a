#include "audio/PitchAnalysis.h"

#include "audio/SignalLevel.h"

bool PitchAnalysis::Run(const std::vector<float>& samples, const Gate& gate)
{
    if (samples.empty())
        return false;
    if (!analyser_.IsInitialised())
        analyser_.Init(int(samples.size()), true, 0.01f, SampleRate, 16.0f, true, 4);
    bool estimated = false;
    if (LevelAbove(samples, gate.threshold, gate.fullScale, gate.offsetDb, gate.rangeDb)) {
        // A window whose sound stops within it holds the note's end and the
        // silence after it: estimates from it stray by up to a semitone (an
        // octave at times), and the last of them would be held for as long
        // as the silence lasts. It still shows in the spectrum.
        const bool stops = FallsAtEnd(samples, StopTail, StopFallDb);
        const float f = analyser_.EstimateFrequency(samples);
        ++estimates_;
        // "No pitch" is not a frequency: averaging it in would drag the
        // measurement towards -1 Hz.
        if (f > 0.0f && !stops) {
            const float filtered = filter_.Filter(f);
            // A new note starts the average afresh: blending the old one in
            // would show notes between the two.
            if (filter_.AcceptedJump())
                average_.Clear();
            frequency_ = float(average_.Push(filtered));
            estimated = true;
        }
    }
    ++runs_;
    return estimated;
}
