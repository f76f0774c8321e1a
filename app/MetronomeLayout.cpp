#include "app/MetronomeLayout.h"

#include "app/AboutWindow.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/host/Window.h"

namespace {

using Vabo::Signal::Activate;

Vabo::RegisterClass<MetronomeLayout> metronomeClass("MetronomeLayout", "",
                                                    [](TiXmlElement* element) -> Vabo::GuiObject* {
                                                        return new MetronomeLayout(element);
                                                    });
Vabo::RegisterClassSlot<MetronomeLayout, Activate> helpSlot("MetronomeLayout::HelpActiveSlot",
                                                            &MetronomeLayout::HelpActiveSlot);
Vabo::RegisterClassSlot<MetronomeLayout, Activate> closeSlot("MetronomeLayout::CloseClickedSlot",
                                                             &MetronomeLayout::CloseClickedSlot);
Vabo::RegisterClassSlot<MetronomeLayout, Activate> minimiseSlot("MetronomeLayout::MinimiseClickedSlot",
                                                                &MetronomeLayout::MinimiseClickedSlot);

} // namespace

MetronomeLayout::MetronomeLayout(TiXmlElement* element)
    : GridLayout(element, true)
{
}

MetronomeLayout::~MetronomeLayout() = default;

void MetronomeLayout::HelpActiveSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    AboutWindow::ShowFor(*this);
}

void MetronomeLayout::CloseClickedSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    if (auto* window = dynamic_cast<Vabo::Window*>(GetRootObject()))
        window->Close();
}

void MetronomeLayout::MinimiseClickedSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    if (auto* window = dynamic_cast<Vabo::Window*>(GetRootObject()))
        window->Minimize();
}
