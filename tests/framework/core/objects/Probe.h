#pragma once
// A plain object whose slots write what they receive into a shared log.
#include <string>
#include <vector>

#include "framework/core/GuiObject.h"
#include "framework/core/Signal.h"

namespace ObjectsTest {

class Probe : public Vabo::GuiObject {
public:
    Probe(const std::string& name, std::vector<std::string>& log, int x = 0, int y = 0, int width = 0, int height = 0)
        : GuiObject(0, 0)
        , log_(log)
    {
        SetName(name);
        SetPosition(x, y);
        SetSize(width, height);
    }

    // Logs "<this>:<signal>:<object>".
    void Slot(Vabo::Signal::Base* signal, Vabo::GuiObject* object)
    {
        log_.push_back(GetName() + ":" + signal->Name() + ":" + (object ? object->GetName() : "-"));
    }
    // Logs "<this>@x,y" with the point the slot sees.
    void PointSlot(Vabo::Signal::Positional* signal, Vabo::GuiObject*)
    {
        log_.push_back(GetName() + "@" + std::to_string(signal->x) + "," + std::to_string(signal->y));
    }

private:
    std::vector<std::string>& log_;
};

} // namespace ObjectsTest
