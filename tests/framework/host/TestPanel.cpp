#include "TestPanel.h"

#include <cstdlib>
#include <tinyxml.h>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/drawing/Painter.h"
#include "framework/core/HostInputSignals.h"

int TestPanel::alive = 0;

std::vector<std::string>& SignalJournal()
{
    static std::vector<std::string> journal;
    return journal;
}

TestPanel::TestPanel()
    : Vabo::GuiObject(0, 0)
{
    ++alive;
}

TestPanel::TestPanel(TiXmlElement* element)
    : Vabo::GuiObject(element, 0, 0)
{
    ++alive;
    int x = 0, y = 0, width = 0, height = 0;
    element->QueryIntAttribute("XPos", &x);
    element->QueryIntAttribute("YPos", &y);
    element->QueryIntAttribute("Width", &width);
    element->QueryIntAttribute("Height", &height);
    SetPosition(x, y);
    SetSize(width, height);
    if (const char* rgb = element->Attribute("Color")) {
        const unsigned long value = std::strtoul(rgb, nullptr, 16);
        color = GdiplusGfxLayer::Color(255, int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF));
    }
    for (TiXmlElement* child = element->FirstChildElement("TestPanel"); child;
         child = child->NextSiblingElement("TestPanel")) {
        std::shared_ptr<Vabo::GuiObject> object = DllGlobalObjectFactoryInstance().Create(child);
        if (object) {
            owned_.push_back(object);
            AddChild(object.get(), false);
        }
    }
}

TestPanel::~TestPanel()
{
    --alive;
}

bool TestPanel::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    ++draws;
    return painter.FillRect(GetRect(), color);
}

void TestPanel::Note(Vabo::Signal::Base* signal)
{
    std::string text = signal->Name();
    if (signal->IsPositional()) {
        auto* p = static_cast<Vabo::Signal::Positional*>(signal);
        text += "@" + std::to_string(p->x) + "," + std::to_string(p->y);
    }
    if (signal->Is<Vabo::Signal::FocusChange>())
        text += static_cast<Vabo::Signal::FocusChange*>(signal)->focusLost ? "(lost)" : "(gained)";
    if (signal->Is<Vabo::Signal::ScreenActivation>())
        text += static_cast<Vabo::Signal::ScreenActivation*>(signal)->activated ? "(in)" : "(out)";
    if (signal->Is<Vabo::Signal::KeyPress>())
        text += "(" + std::to_string(static_cast<Vabo::Signal::KeyPress*>(signal)->code) + ")";
    if (signal->Is<Vabo::Signal::MouseWheel>())
        text += "(" + std::to_string(static_cast<Vabo::Signal::MouseWheel*>(signal)->delta) + ")";
    received.push_back(text);
    SignalJournal().push_back(GetName() + ":" + text);
}

void TestPanel::Register()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    DllGlobalObjectFactoryInstance().Register(
        "TestPanel", [](TiXmlElement* element) -> Vabo::GuiObject* { return new TestPanel(element); });
}
