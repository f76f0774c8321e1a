#include "app/vis/Topdown.h"

Topdown::Topdown(TiXmlElement* element, BlockSource source)
    : VisBase(element)
    , source_(std::move(source))
{
    const float step = 235.0f / 100.0f;
    for (int k = 0; k < 100; ++k)
        palette_.emplace_back(GdiplusGfxLayer::Color(20 + int(double(k) * double(step)), 0, 0, 0), 1.0f);
}

bool Topdown::SetSize(int width, int height)
{
    resized_ = true;
    return VisBase::SetSize(width, height);
}
