#pragma once
// The spectrum display's values: the pitch estimator's magnitude spectrum
// below the upper analysis frequency, each bin scaled into 0..1. Refreshed
// only when the estimator ran again; a window below the level gate gives all
// zeros. Process-wide (GUI thread); use after
// destruction at exit throws std::logic_error "Dead Reference Detected".
#include <vector>

namespace Vabo {
template <class T> struct CreateWithExitRelease;
}

class SpectrumSource {
public:
    static SpectrumSource& Instance();

    // Runs the analysis first when a new window arrived (as reading the
    // measured frequency does).
    std::vector<float>& GetSpectrum();
    int Count() const { return count_; }

private:
    friend struct Vabo::CreateWithExitRelease<SpectrumSource>;
    // Bins below AppState::MaxFrequency; follows later changes of it.
    SpectrumSource();

    int count_;
    float scale_ = 100.0f;
    std::vector<float> values_;
    int lastRun_ = 0;
    int lastEstimate_ = 0;
};
