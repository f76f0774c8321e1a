#include "Swatch.h"

#include "framework/core/Registration.h"
#include "framework/drawing/Painter.h"

namespace LayoutTest {
namespace {

const Vabo::RegisterClass<Swatch> swatchClass("Test::Swatch", "", [](TiXmlElement* e) { return new Swatch(e); });

} // namespace

Swatch::Swatch(TiXmlElement* element)
    : GuiObject(element, 1, 0)
{
    RegisterLoader<Swatch>(element, this);
}

Swatch::Swatch(int width, int height, const GdiplusGfxLayer::Color& color)
    : GuiObject(1, 0)
    , ownWidth(width)
    , ownHeight(height)
    , color(color)
{
    SetSize(width, height);
}

bool Swatch::LoadFromXML(TiXmlElement* element)
{
    ReadXmlAttribute(ownWidth, element, "Width", false, Vabo::kSkinLength);
    ReadXmlAttribute(ownHeight, element, "Height", false, Vabo::kSkinLength);
    ReadXmlAttribute(color, element, "Color", false);
    SetSize(ownWidth, ownHeight);
    return true;
}

void Swatch::CalculateSize()
{
    SetSize(ownWidth, ownHeight);
}

bool Swatch::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    return painter.FillRect(GetRect(), color);
}

} // namespace LayoutTest
