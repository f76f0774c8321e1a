#include "app/vis/SampleVis.h"

#include "app/SpectrumSource.h"

#include "audio/LatestBlock.h"

#include "framework/core/Registration.h"

namespace {

Vabo::RegisterClass<SampleVis> sampleVisClass("SampleVis", "", [](TiXmlElement* element) -> Vabo::GuiObject* {
    return new SampleVis(element);
});

} // namespace

SampleVis::SampleVis(TiXmlElement* element)
    : SampleVis(
        element, []() -> std::vector<float>& { return LatestBlock::Instance().Get(); },
        []() -> std::vector<float>& { return SpectrumSource::Instance().GetSpectrum(); })
{
}

SampleVis::SampleVis(TiXmlElement* element, BlockSource samples, BlockSource spectrum)
    : Vis(element)
    , samples_(std::move(samples))
    , spectrum_(std::move(spectrum))
    , scope_(GetChild(element, "OScope"), samples_)
    , spectrumBars_(GetChild(element, "SpecAn"), spectrum_)
    , sampleBars_(GetChild(element, "SpecAn"), samples_)
    , sampleWaterfall_(element, samples_)
    , spectrumWaterfall_(element, spectrum_)
    , curtain_(element, samples_)
    , blank_(element)
{
    AddDisplay(scope_);
    AddDisplay(spectrumBars_);
    AddDisplay(sampleBars_);
    AddDisplay(curtain_);
    AddDisplay(blank_);
    RegisterLoader<SampleVis>(element, this);
    RestoreSelection();
}

SampleVis::~SampleVis()
{
    SaveSelection();
}
