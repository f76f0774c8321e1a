#include "framework/widgets/Text.h"

#include <tinyxml.h>

#include <vector>

#include "framework/core/Registration.h"
#include "framework/core/ScreenManagerNotReady.h"
#include "framework/drawing/Painter.h"
#include "framework/drawing/TextLayout.h"
#include "framework/widgets/InvalidateWhenShown.h"

namespace Vabo {

namespace {

RegisterClass<Text> textClass("Vabo::Text", "$VABO/Objects/Text/Text.xml",
                              [](TiXmlElement* element) -> GuiObject* { return new Text(element); });

// The root a stretchable label's font follows: none while the label is not yet
// in a tree that a screen manager shows.
GuiObject* RootOf(GuiObject& object)
{
    try {
        return object.GetRootObject();
    } catch (const ScreenManagerNotReady&) {
        return nullptr;
    }
}

} // namespace

Text::Text(TiXmlElement* element)
    : GridLayout(element, true)
{
    RegisterLoader<Text>(element, this);
}

Text::~Text() = default;

bool Text::LoadFromXML(TiXmlElement* element)
{
    int stretchable = 0;
    ReadXmlAttribute(stretchable, element, "Stretchable", true, kSkinFlag);
    stretchable_ = stretchable != 0;
    std::string alignment;
    if (ReadXmlAttribute(alignment, element, "Alignment", false)) {
        alignment_ = alignment == "Centered" ? 1 : 0;
    }
    ReadXmlText(text_, element, "Text", true);
    ReadFont(element);
    ReadXmlAttribute(color_, element, "Color", true);
    ReadXmlAttribute(selectedColor_, element, "SelectedColor", true);
    conversion_ = font_->GetConversion();
    return true;
}

void Text::ReadFont(TiXmlElement* element)
{
    // A label built on its type's definition holds the definition's "Font"
    // before the skin's own: the last one is the label's.
    const std::vector<TiXmlElement*> fonts = GetChildren(element, "Font");
    if (fonts.empty())
        ThrowXmlError(element, "Font");
    ReadXmlFont(font_, fonts.back());
}

std::string& Text::GetText()
{
    return text_;
}

const std::string& Text::GetText() const
{
    return text_;
}

void Text::SetText(const std::string& text)
{
    // Displays set their texts on every update: the same text is not drawn again.
    if (text == text_)
        return;
    text_ = text;
    // A label set up before its tree is shown has nothing to repaint yet.
    InvalidateWhenShown(*this);
}

void Text::CalculateSize()
{
    GuiObject::CalculateSize();
    const Rect box = font_->MeasureString(text_);
    SetSize(box.width + 1, box.height + 1);
    SetSizedFromContent(true);
}

void Text::FitToText()
{
    const Rect box = font_->MeasureString(text_);
    GuiObject::SetSize(box.width + 1, box.height + 1);
}

bool Text::SetSize(int width, int height)
{
    fontDirty_ = true;
    if (stretchable_) {
        if (GuiObject* root = RootOf(*this))
            RebuildFont(root);
    }
    return GuiObject::SetSize(width, height);
}

void Text::RebuildFont(GuiObject* reference)
{
    const Rect size{0, 0, reference->GetWidth(), reference->GetHeight()};
    font_ = std::make_shared<GdiplusGfxLayer::Font>(font_->GetFamily(), font_->GetSize(), font_->GetStyle(),
                                                    conversion_, &size);
}

void Text::RefreshFont()
{
    if (!stretchable_ || !fontDirty_)
        return;
    GuiObject* reference = RootOf(*this);
    if (!reference)
        reference = GetTopObject();
    if (!reference)
        return;
    RebuildFont(reference);
    fontDirty_ = false;
}

int Text::TextHeight(float maxWidth)
{
    if (!measuredFont_ || measuredFont_ != font_ || measuredText_ != GetText() || measuredWidth_ != maxWidth) {
        measuredHeight_ = font_->MeasureRange(GetText(), -1, -1, maxWidth).height;
        measuredFont_ = font_;
        measuredText_ = GetText();
        measuredWidth_ = maxWidth;
    }
    return measuredHeight_;
}

const GdiplusGfxLayer::Color& Text::CurrentColor() const
{
    return IsSelected() ? *selectedColor_ : *color_;
}

bool Text::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    RefreshFont();
    if (GetWidth() == 0 || GetHeight() == 0)
        return false;
    int y = GetY();
    if (alignment_ == 1) {
        const int textHeight = CentredTextHeight();
        y += GetHeight() / 2 - textHeight / 2;
    }
    const int alignment = alignment_ >= 0 && alignment_ <= 2 ? alignment_ : 0;
    return painter.DrawStringInRect(*font_, text_, CurrentColor(), static_cast<float>(GetX()), static_cast<float>(y),
                                    static_cast<float>(GetWidth()), static_cast<float>(GetHeight()), alignment,
                                    GdiplusGfxLayer::Painter::TrimNone, &layout_);
}

int Text::CentredTextHeight()
{
    if (measuredFont_ && measuredFont_ == font_ && measuredText_ == GetText() && measuredWidth_ == -1.0f)
        return measuredHeight_;
    // A text that changed is measured on the layout made for drawing it, as
    // it was made: it lays the text out on the lines an unwrapped layout
    // would, and so at the same heights, when it wraps and cuts nothing.
    // Laying the text out once instead of twice matters for labels that
    // change at every refresh (a frequency).
    const int builds = layout_.Builds();
    PangoLayout* layout = layout_.Get(*font_, text_, static_cast<float>(GetWidth()), static_cast<float>(GetHeight()),
                                      alignment_, GdiplusGfxLayer::Painter::TrimNone);
    if (layout_.Builds() == builds || GetText() != text_ || pango_layout_is_wrapped(layout)
        || pango_layout_is_ellipsized(layout))
        return TextHeight(-1.0f);
    measuredHeight_ = GdiplusGfxLayer::MeasureLaidOutRange(layout, -1, -1).height;
    measuredFont_ = font_;
    measuredText_ = text_;
    measuredWidth_ = -1.0f;
    return measuredHeight_;
}

} // namespace Vabo
