#include "app/vis/DualAnalogVis.h"

#include "app/vis/SwingValueFunctor.h"
#include "audio/AppState.h"

#include "framework/drawing/Painter.h"
#include "framework/drawing/Pen.h"

#include <algorithm>
#include <cmath>

DualAnalogVis::DualAnalogVis(TiXmlElement* element, ScalarSource main, ScalarSource second,
                             std::function<bool()> running)
    : VisBase(element)
    , second_(SwingValueFunctor(std::move(second), true, 0.0f, running))
    , meter_(*this, element, SwingValueFunctor(std::move(main), true, 0.0f, running))
{
    ReadXmlAttribute(arrowColor_, element, "Color", true);
    ReadXmlAttribute(arrowLength_, element, "DialLength", true, Vabo::kSkinFactor);
    ReadXmlAttribute(arrowWidth_, element, "DialWidth", true, Vabo::kSkinFactor);
    ReadXmlAttribute(onTop_, element, "OnTop", true);
    RegisterLoader<DualAnalogVis>(element, this);
}

bool DualAnalogVis::SetSize(int width, int height)
{
    resized_ = true;
    return VisBase::SetSize(width, height);
}

bool DualAnalogVis::Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return true;
    const Vabo::Rect rect{x, y, width, height};
    const int ticCount = AppState::Instance().GetAccent() + 1;
    bool layout = resized_ || !(rect == laidOut_);
    if (ticCount != ticCount_) {
        ticCount_ = ticCount;
        meter_.SetTicTotal(ticCount);
        layout = true;
    }
    if (layout) {
        const int margin = int(float(width) * 0.05f);
        meter_.Layout(float(x + margin), float(y), float(width - 2 * margin), float(height));
        laidOut_ = rect;
        resized_ = false;
        fixed_.Forget();
    }
    if (!onTop_)
        DrawArrow(painter);
    fixed_.Draw(painter, rect, [this](GdiplusGfxLayer::Painter& layer) { meter_.DrawFixed(layer); });
    meter_.DrawMoving(painter);
    if (onTop_)
        DrawArrow(painter);
    return true;
}

void DualAnalogVis::DrawArrow(GdiplusGfxLayer::Painter& painter)
{
    const std::vector<Vabo::Point>& arc = meter_.Arc();
    if (arc.empty())
        return;
    const Vabo::Point pivot = meter_.Pivot();
    const Vabo::Point target = arc[std::size_t(AnalogMeter::PointIndex(second_(), arc.size()))];
    const double dx = target.x - pivot.x;
    const double dy = target.y - pivot.y;
    const double distance = std::sqrt(dx * dx + dy * dy);
    if (distance == 0.0)
        return;
    const double length = distance * arrowLength_;
    arrowEnd_ = {pivot.x + int(dx / distance * length), pivot.y + int(dy / distance * length)};
    GdiplusGfxLayer::Pen pen(arrowColor_, std::max(1.0f, meter_.FaceWidth() * arrowWidth_));
    pen.SetEndCap(GdiplusGfxLayer::Pen::ArrowAnchor);
    painter.DrawLine(pen, pivot, arrowEnd_);
}
