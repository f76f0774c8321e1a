#pragma once
// Registered as "Test::Swatch": a block of one colour ("Color") that takes a
// size of its own ("Width" and "Height") in the size pass, as a label takes
// the size of its text, so layout tests can see where it went by its pixels.
#include "framework/core/GuiObject.h"
#include "framework/drawing/Color.h"

namespace LayoutTest {

class Swatch : public Vabo::GuiObject {
public:
    explicit Swatch(TiXmlElement* element = nullptr);
    Swatch(int width, int height, const GdiplusGfxLayer::Color& color);

    bool LoadFromXML(TiXmlElement* element);
    void CalculateSize() override;
    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;

    int ownWidth = 0;
    int ownHeight = 0;
    GdiplusGfxLayer::Color color;
};

} // namespace LayoutTest
