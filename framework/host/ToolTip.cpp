#include "framework/host/ToolTip.h"

#include <tinyxml.h>

#include <string>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/HostInputSignals.h"
#include "framework/core/Registration.h"
#include "framework/drawing/Painter.h"
#include "framework/host/ToolTipPlacement.h"
#include "framework/host/VaboWnd.h"
#include "framework/widgets/GridVal.h"
#include "framework/widgets/Text2.h"
#include "platform/Display.h"
#include "platform/SystemColors.h"

namespace Vabo {

namespace {

RegisterClass<ToolTip> toolTipClass("Vabo::ToolTip", "$VABO/Objects/ToolTip/ToolTip.xml",
                                    [](TiXmlElement* element) -> GuiObject* { return new ToolTip(element); });

} // namespace

ToolTip::ToolTip(TiXmlElement* element)
    : PopupMenuWindow(element)
{
    SizeToText(element);
    // Showing a tip hands the keyboard focus straight back to the window under
    // it: losing the focus must not close the tip as it closes a menu.
    SetFlag(true);
    SetTakesFocus(false);
    // Any move that reaches the tip hides it (the window's own hide slot).
    AddSlot<Signal::MouseMove>(&Window::HideSlot, this);
}

ToolTip::~ToolTip() = default;

void ToolTip::SizeToText(TiXmlElement* element)
{
    Text2* label = GetXMLObject<Text2>(this, "Text");
    if (!label)
        return;
    int xBorder = 0;
    int yBorder = 0;
    std::string text;
    ReadXmlAttribute(xBorder, element, "XBorderSize", true, kSkinSize);
    ReadXmlAttribute(yBorder, element, "YBorderSize", true, kSkinSize);
    ReadXmlText(text, element, "Text", true);
    // The window is not shown yet: nothing to repaint.
    label->GetText() = text;

    const int maxWidth = label->GetMaxWidth();
    const GdiplusGfxLayer::Font& font = *label->GetFont();
    const Rect box = maxWidth < 0 ? font.MeasureString(text) : font.MeasureRange(text, -1, -1, maxWidth);
    const int width = maxWidth >= 0 ? maxWidth : box.x + box.width + 5;
    const int height = box.y + box.height + 5;
    label->SetSize(width, height);
    Window::SetSize(width + xBorder, height + yBorder);
    PlaceObject(label, GridVal(static_cast<float>(xBorder / 2), 0.0f), GridVal(static_cast<float>(yBorder / 2), 0.0f),
                GridVal(static_cast<float>(width), 0.0f), GridVal(static_cast<float>(height), 0.0f), false);
    UpdateLayout();
}

bool ToolTip::PlaceBeside(const Rect& object, const Point& pointer, const std::vector<Rect>& keepClear)
{
    VaboWnd* host = GetHostWnd();
    VaboWnd* owner = host ? host->GetParent() : nullptr;
    if (!owner || !owner->IsCreated())
        return PopupMenuWindow::PlaceBeside(object, pointer, keepClear);
    // Popup positions count from the owner's content, the screen from its monitor.
    const Platform::Rect content = owner->GetContentScreenRect();
    const Platform::Rect screen = Platform::WorkAreaOf(owner->GetNativeWindow()->Handle());
    const auto onScreen = [&content](const Rect& r) {
        return Platform::Rect{content.x + r.x, content.y + r.y, r.width, r.height};
    };
    std::vector<Platform::Rect> others;
    for (const Rect& other : keepClear)
        others.push_back(onScreen(other));
    const Platform::Rect tip = PlaceToolTip(onScreen(object), content.x + pointer.x, content.y + pointer.y, GetWidth(),
                                            GetHeight(), screen, others);
    return SetPosition(tip.x - content.x, tip.y - content.y);
}

bool ToolTip::SetSize(int, int)
{
    return false;
}

bool ToolTip::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    constexpr Platform::Rgb background = Platform::TooltipBackground();
    const Rect frame{0, 0, GetWidth() - 1, GetHeight() - 1};
    const GdiplusGfxLayer::Color black(255, 0, 0, 0);
    painter.FillRect(frame, GdiplusGfxLayer::Color(255, background.red, background.green, background.blue));
    painter.DrawFrame(frame, black, black, 1.0f);
    return true;
}

} // namespace Vabo
