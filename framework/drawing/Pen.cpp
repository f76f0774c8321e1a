#include "framework/drawing/Pen.h"

namespace GdiplusGfxLayer {
namespace {

bool IsKnownCap(int cap)
{
    return cap == Pen::Flat || cap == Pen::Square || cap == Pen::Round || cap == Pen::ArrowAnchor;
}

} // namespace

Pen::Pen(const Color& color, float width)
    : color_(color)
    , width_(width)
{
}

bool Pen::SetStartCap(int cap)
{
    if (!IsKnownCap(cap))
        return false;
    startCap_ = cap;
    return true;
}

bool Pen::SetEndCap(int cap)
{
    if (!IsKnownCap(cap))
        return false;
    endCap_ = cap;
    return true;
}

} // namespace GdiplusGfxLayer
