#include "app/vis/TopdownRedraw.h"

#include "app/vis/ColumnMap.h"

#include "framework/drawing/Painter.h"

#include <algorithm>
#include <cmath>

TopdownRedraw::TopdownRedraw(TiXmlElement* element, BlockSource source)
    : Topdown(element, std::move(source))
{
    rows_.fill(std::vector<float>(1, 0.0f));
    RegisterLoader<TopdownRedraw>(element, this);
}

std::vector<std::vector<float>> TopdownRedraw::Rows() const
{
    std::vector<std::vector<float>> rows;
    for (std::size_t i = 0; i < RowCount; ++i)
        rows.push_back(rows_[(current_ + i) % RowCount]);
    return rows;
}

bool TopdownRedraw::Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return true;
    if (resized_ || width != width_) {
        rowHeight_ = std::max(float(height) * 0.0625f, 1.0f);
        std::vector<float> mapped;
        for (std::vector<float>& row : rows_) {
            MapMagnitudePeaks(row, mapped, width);
            row.swap(mapped);
        }
        resized_ = false;
        width_ = width;
    }
    MapMagnitudePeaks(source_(), rows_[current_], width);
    current_ = (current_ + 1) % RowCount;

    float position = float(y + height);
    int edge = y + height;
    for (std::size_t i = 0; i < RowCount; ++i) {
        const std::vector<float>& row = rows_[(current_ + i) % RowCount];
        position -= rowHeight_;
        const int top = int(std::lround(position));
        const int columns = std::min(width, int(row.size()));
        for (int j = 0; j < columns; ++j)
            painter.DrawLine(palette_[std::size_t(PaletteIndex(row[std::size_t(j)]))], {x + j, top}, {x + j, edge});
        edge = top;
    }
    return true;
}
