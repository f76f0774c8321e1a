// A small registered object type for the host tests: a rectangle of one colour
// read from XML ("XPos", "YPos", "Width", "Height", "Color" as "RRGGBB"), with
// child panels from its "TestPanel" children, that records the signals it gets.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/core/GuiObject.h"
#include "framework/drawing/Color.h"

class TestPanel : public Vabo::GuiObject {
public:
    explicit TestPanel(TiXmlElement* element);
    TestPanel();
    ~TestPanel() override;

    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;

    // Records every signal of the type (its name, and the point of a positional one).
    template <class SignalClass> void Record()
    {
        Connect(
            Vabo::Signal::TypeIdOf<SignalClass>(), nullptr,
            [this](Vabo::Signal::Base* signal, Vabo::GuiObject*) { Note(signal); }, Watch());
    }
    void Note(Vabo::Signal::Base* signal);

    std::vector<std::string> received;
    GdiplusGfxLayer::Color color{255, 0, 0, 0};
    int draws = 0;

    // Registers "TestPanel" with the object factory (once).
    static void Register();
    static int alive;

private:
    std::vector<std::shared_ptr<Vabo::GuiObject>> owned_;
};

// Every signal noted by any panel, as "panel name:signal text", in order.
std::vector<std::string>& SignalJournal();
