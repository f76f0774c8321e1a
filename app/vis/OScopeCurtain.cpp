#include "app/vis/OScopeCurtain.h"

#include "app/vis/ColumnMap.h"

#include "framework/drawing/Painter.h"

#include <cmath>
#include <cstdlib>

OScopeCurtain::OScopeCurtain(TiXmlElement* element, BlockSource source)
    : VisBase(element)
    , source_(std::move(source))
{
    const float step = 205.0f / 100.0f;
    for (int k = 0; k < 100; ++k)
        palette_.emplace_back(GdiplusGfxLayer::Color(50 + int(double(k) * double(step)), 0, 0, 0), 1.0f);
    RegisterLoader<OScopeCurtain>(element, this);
}

bool OScopeCurtain::ValuesChanged()
{
    return source_() != drawn_;
}

bool OScopeCurtain::Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return true;
    drawn_ = source_();
    MapMagnitudePeaks(drawn_, columns_, width);
    // A column's stroke, a pixel wide with flat ends on the pixel grid,
    // covers its pixels whole: it is filled as the rectangle of those pixels,
    // the columns of one pen together. Columns never overlap, so the pixels
    // are those of one stroke after the other, at about half the cost.
    strokes_.resize(palette_.size());
    for (std::vector<Vabo::Rect>& strokes : strokes_)
        strokes.clear();
    const float half = 0.5f * float(height);
    for (int i = 0; i < width; ++i) {
        const float v = std::fmin(columns_[std::size_t(i)], 1.0f);
        const int d = int(std::lround(half * v));
        const int from = y + height - height / 2 - d;
        const int to = y + height / 2 + d;
        // A stroke of no length draws nothing.
        if (from == to)
            continue;
        strokes_[std::size_t(PaletteIndex(columns_[std::size_t(i)]))].push_back(
            {x + i, std::min(from, to), 1, std::abs(to - from) + 1});
    }
    for (std::size_t k = 0; k < palette_.size(); ++k)
        painter.FillRects(strokes_[k], palette_[k].GetColor());
    return true;
}
