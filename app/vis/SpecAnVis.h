#pragma once
// Spectrum bars: the block mapped onto a number of bars, each cut from a
// background picture to its height, falling by a sixth per frame, with a peak
// marker that holds for 12 frames and then falls ever faster.
#include "app/vis/ValueSource.h"
#include "app/vis/VisBase.h"

#include "framework/drawing/Color.h"
#include "framework/widgets/Image.h"

#include <vector>

class SpecAnVis : public VisBase {
public:
    // The background picture from the "Image" child; the loader reads the
    // "Bar" child ("PercOfVizForBar", "Color") and the "Config" child
    // ("NumBars", at least 1).
    SpecAnVis(TiXmlElement* element, BlockSource source);

    bool LoadFromXML(TiXmlElement* element);
    bool SetSize(int width, int height) override;
    bool Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) override;

    // One frame of a bar's fall and of its marker's hold and fall for the
    // bar's new value v.
    static float FallenLevel(float level, float v);
    static void MovePeak(float& peak, int& hold, float v);
    // Frames a marker has rested are counted up to this, no further.
    static constexpr int HoldCap = 12 + 4096;

    const std::vector<float>& Levels() const { return levels_; }
    const std::vector<float>& Peaks() const { return peaks_; }
    const std::vector<int>& Holds() const { return holds_; }

private:
    float markerFraction_ = 0.05f;
    int barCount_ = 0;
    Vabo::Image background_;
    GdiplusGfxLayer::Color markerColor_;
    std::vector<float> levels_;
    std::vector<float> peaks_;
    std::vector<int> holds_;
    BlockSource source_;
    std::vector<float> columns_;
};
