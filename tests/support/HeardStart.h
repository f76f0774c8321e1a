#pragma once
// How the start of a sound was heard in a recording of the sound server's
// output, against the samples that were played: whole from its first sample,
// or from some way in (with a step, and a first click quieter than the later
// ones).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace TestSupport {

struct HeardStart {
    bool found = false;
    // Samples of the sound's start that were never heard.
    std::size_t missing = 0;
    // The first sample heard, and the sound's first sample at the gain it is
    // heard at later on.
    float first = 0.0f;
    float whole = 0.0f;
    // Over the first samples heard: the largest difference from the sound's
    // start, as a fraction of its peak.
    double worstError = 0.0;
    // Peaks (dB of full scale) of the first stretch heard and of the same
    // stretch of the sound heard later on.
    double firstPeakDb = -200.0;
    double laterPeakDb = -200.0;
};

inline double PeakOf(const std::vector<float>& x, std::size_t from, std::size_t length)
{
    double peak = 0.0;
    for (std::size_t i = from; i < from + length && i < x.size(); ++i)
        peak = std::max(peak, double(std::fabs(x[i])));
    return peak;
}

inline double Db(double value)
{
    return value > 0.0 ? 20.0 * std::log10(value) : -200.0;
}

// heard: a recording that is silent until the sound starts; played: the
// sound (a bar, or a tone), repeated while it played; later: how far after
// its start the sound is found again in the recording, by the samples around
// that place (a whole number of bars; any distance into a tone). That place
// is heard whole, and tells where the sound really started.
inline HeardStart MeasureHeardStart(const std::vector<float>& heard, const std::vector<float>& played,
                                    std::size_t later)
{
    HeardStart result;
    const auto loud = [](float v) { return std::fabs(v) > 1e-4f; };
    const auto heardAt = std::find_if(heard.begin(), heard.end(), loud);
    const auto playedAt = std::find_if(played.begin(), played.end(), loud);
    if (heardAt == heard.end() || playedAt == played.end())
        return result;
    const std::size_t at = std::size_t(heardAt - heard.begin());
    const std::size_t start = std::size_t(playedAt - played.begin());
    const std::size_t size = played.size();
    const std::size_t stretch = std::min<std::size_t>(size, 4096);
    const std::size_t before = 256;
    const std::size_t search = std::min<std::size_t>(size, 2048);
    if (at + later + stretch > heard.size() || at + later < search + before)
        return result;
    // The sound around the place it is found again, and where in the
    // recording it fits best (least error at the best gain).
    std::vector<float> around(before + stretch);
    for (std::size_t i = 0; i < around.size(); ++i)
        around[i] = played[(start + later + size * before - before + i) % size];
    double bestError = -1.0;
    double gain = 0.0;
    for (std::size_t d = 0; d < search; ++d) {
        const std::size_t from = at + later - d - before;
        double xy = 0.0, yy = 0.0, xx = 0.0;
        for (std::size_t i = 0; i < around.size(); ++i) {
            xy += double(heard[from + i]) * around[i];
            yy += double(around[i]) * around[i];
            xx += double(heard[from + i]) * heard[from + i];
        }
        const double g = yy > 0.0 ? xy / yy : 0.0;
        const double error = xx - g * xy;
        if (bestError < 0.0 || error < bestError) {
            bestError = error;
            gain = g;
            result.missing = d;
        }
    }
    const std::size_t laterAt = at + later - result.missing;
    const double soundPeak = PeakOf(played, start, stretch);
    result.found = gain > 0.0;
    result.first = heard[at];
    result.whole = float(gain * played[start]);
    for (std::size_t i = 0; i < std::min<std::size_t>(stretch, 1024); ++i)
        result.worstError = std::max(result.worstError,
                                     std::fabs(heard[at + i] - gain * played[(start + i) % size]) / (gain * soundPeak));
    result.firstPeakDb = Db(PeakOf(heard, at, stretch));
    result.laterPeakDb = Db(PeakOf(heard, laterAt, stretch));
    return result;
}

} // namespace TestSupport
