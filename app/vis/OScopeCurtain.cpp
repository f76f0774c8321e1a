#include "app/vis/OScopeCurtain.h"

#include "app/vis/ColumnMap.h"

#include "framework/drawing/Painter.h"

#include <cmath>

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
    const float half = 0.5f * float(height);
    for (int i = 0; i < width; ++i) {
        const float v = std::fmin(columns_[std::size_t(i)], 1.0f);
        const int d = int(std::lround(half * v));
        painter.DrawLine(palette_[std::size_t(PaletteIndex(columns_[std::size_t(i)]))],
                         {x + i, y + height - height / 2 - d}, {x + i, y + height / 2 + d});
    }
    return true;
}
