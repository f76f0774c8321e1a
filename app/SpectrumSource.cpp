#include "app/SpectrumSource.h"

#include "audio/AppState.h"
#include "audio/PitchTracker.h"
#include "framework/core/Singleton.h"

#include <algorithm>

namespace {

int BinsBelow(int maxFrequency)
{
    const double bins = 2048.0 / (11025.0 / double(maxFrequency));
    return int(bins < 0.0 ? bins - 0.5 : bins + 0.5);
}

} // namespace

SpectrumSource& SpectrumSource::Instance()
{
    return Vabo::SingletonHolder<SpectrumSource>::Instance();
}

SpectrumSource::SpectrumSource()
{
    AppState& state = AppState::Instance();
    count_ = BinsBelow(state.MaxFrequency.load());
    values_.assign(std::size_t(std::max(0, count_)), 0.0f);
    state.OnChange = [this](int bins) { count_ = bins; };
}

std::vector<float>& SpectrumSource::GetSpectrum()
{
    PitchTracker& tracker = PitchTracker::Instance();
    tracker.GetFrequency();
    values_.resize(std::size_t(std::max(0, count_)), 0.0f);
    if (tracker.Runs() == lastRun_)
        return values_;
    lastRun_ = tracker.Runs();
    // A run below the level gate hears nothing: the bars fall to zero rather
    // than holding the last loud spectrum.
    if (tracker.Estimates() == lastEstimate_) {
        std::fill(values_.begin(), values_.end(), 0.0f);
        return values_;
    }
    lastEstimate_ = tracker.Estimates();
    const std::vector<float>& spectrum = tracker.Spectrum();
    if (count_ >= 1 && spectrum.size() > std::size_t(count_)) {
        for (std::size_t i = 0; i < std::size_t(count_); ++i)
            values_[i] = std::min(spectrum[i] / scale_, 1.0f);
    }
    return values_;
}
