// The framework's text label: one string in one font, drawn in its normal or
// its selected colour, optionally centred, optionally with a font that scales
// with the root object it is shown in. It sizes itself to its text.
#pragma once

#include <memory>
#include <string>

#include "framework/drawing/CachedTextLayout.h"
#include "framework/drawing/Color.h"
#include "framework/drawing/Font.h"
#include "framework/widgets/GridLayout.h"

namespace Vabo {

class Text : public GridLayout {
public:
    explicit Text(TiXmlElement* element);
    ~Text() override;

    virtual std::string& GetText();
    virtual const std::string& GetText() const;

    // Sizes the label one pixel wider and higher than its text.
    void CalculateSize() override;
    // Every resize rebuilds a stretchable label's font against its root object.
    bool SetSize(int width, int height) override;
    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;
    bool IsCaption() const override { return true; }

    // Replaces the text and repaints; the size stays.
    void SetText(const std::string& text);
    // Sizes the label to its text now.
    void FitToText();
    std::shared_ptr<GdiplusGfxLayer::Font> GetFont() const { return font_; }
    const GdiplusGfxLayer::CachedTextLayout& GetLayout() const { return layout_; }
    // How the font's size becomes pixels when the label next rebuilds it
    // (a GdiplusGfxLayer::Font::Conversion).
    void SetFontConversion(int conversion)
    {
        conversion_ = conversion;
        fontDirty_ = true;
    }

    bool LoadFromXML(TiXmlElement* element);

protected:
    // Rebuilds a stretchable label's font when it was resized since the last draw.
    void RefreshFont();
    const GdiplusGfxLayer::Color& CurrentColor() const;
    int GetAlignment() const { return alignment_; }
    // The label's layout, kept from frame to frame.
    GdiplusGfxLayer::CachedTextLayout& Layout() { return layout_; }
    // The height of the text (wrapped at maxWidth, unwrapped at -1), measured
    // again only when the text, the font or the width changed.
    int TextHeight(float maxWidth);

private:
    // The unwrapped height of the text, for centring it.
    int CentredTextHeight();
    void ReadFont(TiXmlElement* element);
    void RebuildFont(GuiObject* reference);

    bool stretchable_ = false;
    bool fontDirty_ = true;
    int alignment_ = 0;
    int conversion_ = 0;
    std::string text_;
    std::shared_ptr<GdiplusGfxLayer::Font> font_;
    std::shared_ptr<GdiplusGfxLayer::Color> color_;
    std::shared_ptr<GdiplusGfxLayer::Color> selectedColor_;
    GdiplusGfxLayer::CachedTextLayout layout_;
    std::string measuredText_;
    std::shared_ptr<GdiplusGfxLayer::Font> measuredFont_;
    float measuredWidth_ = 0.0f;
    int measuredHeight_ = 0;
};

} // namespace Vabo
