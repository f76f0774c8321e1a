#include "framework/widgets/Text2.h"

#include <tinyxml.h>

#include "framework/core/Registration.h"
#include "framework/drawing/Painter.h"

namespace Vabo {

namespace {

RegisterClass<Text2> text2Class("Vabo::Text2", "$VABO/Objects/Text2/Text2.xml",
                                [](TiXmlElement* element) -> GuiObject* { return new Text2(element); });

} // namespace

Text2::Text2(TiXmlElement* element)
    : Text(element)
{
    ReadXmlAttribute(maxWidth_, element, "MaxWidth", false, kSkinMaxWidth);
}

Text2::~Text2() = default;

bool Text2::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    RefreshFont();
    const GdiplusGfxLayer::Font& font = *GetFont();
    int y = GetY();
    if (!GetText().empty()) {
        const int textHeight = TextHeight(static_cast<float>(maxWidth_));
        y += GetHeight() / 2 - textHeight / 2;
    }
    return painter.DrawStringInRect(font, GetText(), CurrentColor(), static_cast<float>(GetX()), static_cast<float>(y),
                                    static_cast<float>(GetWidth()), static_cast<float>(GetHeight()), GetAlignment(),
                                    GdiplusGfxLayer::Painter::TrimNone, &Layout());
}

} // namespace Vabo
