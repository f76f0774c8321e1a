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
        const std::size_t sounded =
            stops_ == Stops::Found ? SoundBeforeStop(samples, StopSlice, StopFallDb) : samples.size();
        const float f = analyser_.EstimateFrequency(samples);
        ++estimates_;
        // "No pitch" is not a frequency: averaging it in would drag the
        // measurement towards -1 Hz.
        if (f > 0.0f) {
            const float filtered = filter_.Filter(f);
            // A new note starts the average afresh: blending the old one in
            // would show notes between the two.
            if (filter_.AcceptedJump())
                average_.Clear();
            // A window over a note's end holds less of it than a whole
            // window: its estimate strays by some cents, and averaged in it
            // would move the reading that stays on screen through the silence
            // after. It still counts towards naming a new note, and shows it
            // when it settles one: a note shorter than a window ends in every
            // window that holds all of it.
            if (sounded == samples.size() || filter_.AcceptedJump()) {
                frequency_ = float(average_.Push(filtered));
                estimated = true;
            }
        }
    }
    ++runs_;
    return estimated;
}
