#include "app/vis/FixedLayer.h"

#include "framework/drawing/Painter.h"

void FixedLayer::Draw(GdiplusGfxLayer::Painter& painter, const Vabo::Rect& rect,
                      const std::function<void(GdiplusGfxLayer::Painter&)>& draw)
{
    if (!picture_ || !(rect == rect_)) {
        picture_ = std::make_unique<GdiplusGfxLayer::Image>(rect.width, rect.height);
        rect_ = rect;
        GdiplusGfxLayer::Painter layer(*picture_);
        layer.Translate(-float(rect.x), -float(rect.y));
        draw(layer);
    }
    painter.DrawImageAt(*picture_, rect.x, rect.y);
}
