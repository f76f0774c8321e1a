#pragma once
// A screen manager that records what the object tree asks of it.
#include <string>
#include <utility>
#include <vector>

#include "framework/core/ScreenManagerInterface.h"

namespace ObjectsTest {

class FakeScreenManager : public Vabo::ScreenManagerInterface {
public:
    void InvalidateRect(const Vabo::Rect& rect) override { invalidated.push_back(rect); }
    void SetFocusObject(Vabo::GuiObject* object) override { focus = object; }
    Vabo::GuiObject* GetBaseRoot() const override { return baseRoot; }
    void SetLeftButtonHeld(bool held) override { leftHeld = held; }
    void SetRightButtonHeld(bool held) override { rightHeld = held; }
    void ActivateScreen(const std::string& name, bool push) override { activated.emplace_back(name, push); }
    void ReturnKeyboardFocus() override { ++focusReturned; }

    std::vector<Vabo::Rect> invalidated;
    Vabo::GuiObject* focus = nullptr;
    Vabo::GuiObject* baseRoot = nullptr;
    bool leftHeld = true;
    bool rightHeld = true;
    std::vector<std::pair<std::string, bool>> activated;
    int focusReturned = 0;
};

} // namespace ObjectsTest
