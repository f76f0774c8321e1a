#pragma once
// The waterfall: the last 16 blocks as rows of strokes whose darkness follows
// the magnitude, the newest at the top, moving down one row per frame.
#include "app/vis/Topdown.h"

#include <array>
#include <cstddef>
#include <vector>

class TopdownRedraw : public Topdown {
public:
    static constexpr std::size_t RowCount = 16;

    TopdownRedraw(TiXmlElement* element, BlockSource source);

    bool Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) override;

    // Rows from the oldest to the newest.
    std::vector<std::vector<float>> Rows() const;

private:
    std::array<std::vector<float>, RowCount> rows_;
    std::size_t current_ = 0;
    int width_ = -1;
};
