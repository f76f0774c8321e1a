#pragma once
// The input display ("SampleVis"): oscilloscope, spectrum bars, sample bars,
// curtain and an empty face, of the newest input block and its spectrum; a
// click shows the next one. Two waterfalls are built but not shown.
#include "app/vis/BlankVis.h"
#include "app/vis/OScope.h"
#include "app/vis/OScopeCurtain.h"
#include "app/vis/SpecAnVis.h"
#include "app/vis/TopdownRedraw.h"
#include "app/vis/Vis.h"

class SampleVis : public Vis {
public:
    // LatestBlock's newest block and the spectrum source's values. "OScope"
    // and "SpecAn" children are required.
    explicit SampleVis(TiXmlElement* element);
    SampleVis(TiXmlElement* element, BlockSource samples, BlockSource spectrum);
    ~SampleVis() override;

    bool LoadFromXML(TiXmlElement*) { return true; }

private:
    BlockSource samples_;
    BlockSource spectrum_;
    OScope scope_;
    SpecAnVis spectrumBars_;
    SpecAnVis sampleBars_;
    TopdownRedraw sampleWaterfall_;
    TopdownRedraw spectrumWaterfall_;
    OScopeCurtain curtain_;
    BlankVis blank_;
};
