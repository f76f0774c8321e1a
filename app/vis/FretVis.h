#pragma once
// The fret display: a line across the middle in the "Analog" colour, with a
// configuration for fret markers ("Analog", "Main" and "Labels" children)
// read and kept. Nothing supplies frets yet, so only the line is drawn.
#include "app/vis/ValueSource.h"
#include "app/vis/VisBase.h"

#include "framework/drawing/Color.h"
#include "framework/drawing/Font.h"

#include <map>
#include <memory>
#include <string>

class FretVis : public VisBase {
public:
    FretVis(TiXmlElement* element, ScalarSource value);

    // The name of the configuration element a display reads it from.
    static const char* ConfigName() { return "Fret"; }

    // The "Color" of "Analog", of "Main" and of "Labels", and the "Font"
    // child of "Labels", all required.
    bool LoadFromXML(TiXmlElement* element);
    bool Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) override;

private:
    GdiplusGfxLayer::Color analogColor_;
    GdiplusGfxLayer::Color mainColor_;
    std::shared_ptr<GdiplusGfxLayer::Font> labelFont_;
    GdiplusGfxLayer::Color labelColor_;
    ScalarSource value_;
    std::map<float, std::string> frets_;
};
