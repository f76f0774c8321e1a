#include "app/vis/FretVis.h"

#include "framework/drawing/Painter.h"
#include "framework/drawing/Pen.h"

FretVis::FretVis(TiXmlElement* element, ScalarSource value)
    : VisBase(element)
    , value_(std::move(value))
{
    RegisterLoader<FretVis>(element, this);
}

bool FretVis::LoadFromXML(TiXmlElement* element)
{
    ReadXmlAttribute(analogColor_, GetChild(element, "Analog"), "Color", true);
    ReadXmlAttribute(mainColor_, GetChild(element, "Main"), "Color", true);
    TiXmlElement* labels = GetChild(element, "Labels");
    ReadXmlChild(labelFont_, labels, "Font", true);
    ReadXmlAttribute(labelColor_, labels, "Color", true);
    return true;
}

bool FretVis::Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return true;
    const GdiplusGfxLayer::Pen pen(analogColor_, 2.0f);
    painter.DrawLine(pen, {x, y + height / 2}, {x + width - 1, y + height / 2});
    return true;
}
