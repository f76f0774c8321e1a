#include "app/TunerLayout.h"

#include "app/AboutWindow.h"
#include "app/SettingsStore.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/host/Window.h"

namespace {

using Vabo::Signal::Activate;
using Vabo::Signal::ObjectVisibilityChange;

Vabo::RegisterClass<TunerLayout> tunerClass("TunerLayout", "", [](TiXmlElement* element) -> Vabo::GuiObject* {
    return new TunerLayout(element);
});
Vabo::RegisterClassSlot<TunerLayout, Activate> helpSlot("TunerLayout::HelpActiveSlot", &TunerLayout::HelpActiveSlot);
Vabo::RegisterClassSlot<TunerLayout, Activate> closeSlot("TunerLayout::CloseClickedSlot",
                                                         &TunerLayout::CloseClickedSlot);
Vabo::RegisterClassSlot<TunerLayout, Activate> minimiseSlot("TunerLayout::MinimiseClickedSlot",
                                                            &TunerLayout::MinimiseClickedSlot);
Vabo::RegisterClassSlot<TunerLayout, ObjectVisibilityChange> visibilitySlot("TunerLayout::VisibilityChangeSlot",
                                                                            &TunerLayout::VisibilityChangeSlot);

} // namespace

TunerLayout::TunerLayout(TiXmlElement* element)
    : GridLayout(element, true)
{
}

TunerLayout::~TunerLayout()
{
    SettingsStore::Instance().Set("TunerVisible", tunerVisible_);
}

void TunerLayout::HelpActiveSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    AboutWindow::ShowFor(*this);
}

void TunerLayout::CloseClickedSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    if (auto* window = dynamic_cast<Vabo::Window*>(GetRootObject()))
        window->Close();
}

void TunerLayout::MinimiseClickedSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    if (auto* window = dynamic_cast<Vabo::Window*>(GetRootObject()))
        window->Minimize();
}

void TunerLayout::VisibilityChangeSlot(Vabo::Signal::Base* signal, Vabo::GuiObject*)
{
    tunerVisible_ = static_cast<ObjectVisibilityChange*>(signal)->visible;
}
