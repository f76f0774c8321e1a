#include "framework/host/Screen.h"

#include "framework/core/Registration.h"
#include "framework/core/HostInputSignals.h"
#include "framework/host/ScreenManager.h"

namespace Vabo {

namespace {

RegisterClass<Screen> screenClass("Vabo::Screen", "$VABO/Objects/Screen/Screen.xml",
                                  [](TiXmlElement* element) -> GuiObject* { return new Screen(element); });
RegisterClassSlot<Screen, Signal::Base> backSlot("Vabo::Screen::SlotScreenBack", &Screen::SlotScreenBack);
RegisterClassSlot<Screen, Signal::Base> resetSlot("Vabo::Screen::SlotResetBackStack", &Screen::SlotResetBackStack);

ScreenManager& ScreensOf(GuiObject& object)
{
    return static_cast<ScreenManager&>(*object.GetScreenManager());
}

} // namespace

Screen::Screen(TiXmlElement* element)
    : GridLayout(element, true)
{
    if (element)
        RegisterLoader<Screen>(element, this);
    AddSlot<Signal::WindowSized>(&Screen::WindowSizedSlot, this);
    AddSlot<Signal::ScreenActivation>(&Screen::ScreenActivationSlot, this);
    SetForceSelected(true);
}

Screen::~Screen() = default;

bool Screen::LoadFromXML(TiXmlElement*)
{
    return true;
}

void Screen::SlotResetBackStack(Signal::Base*, GuiObject*)
{
    ScreensOf(*this).ResetBackStack();
}

void Screen::SlotScreenBack(Signal::Base*, GuiObject*)
{
    ScreensOf(*this).ScreenBack();
}

void Screen::WindowSizedSlot(Signal::Base* signal, GuiObject*)
{
    auto* sized = static_cast<Signal::WindowSized*>(signal);
    SetSize(sized->width, sized->height);
    UpdateLayout();
    Invalidate();
}

void Screen::ScreenActivationSlot(Signal::Base* signal, GuiObject*)
{
    if (!static_cast<Signal::ScreenActivation*>(signal)->activated)
        return;
    StartAnimation();
    if (GuiObject* first = FindTabObjectAt(0, 0))
        first->TabSelect();
    Invalidate();
}

} // namespace Vabo
