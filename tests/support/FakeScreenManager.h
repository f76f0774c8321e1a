#pragma once
// A screen manager that records what an object tree asks of it, for tests that
// run a tree without a host window.
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "framework/core/ScreenManagerInterface.h"

class FakeScreenManager : public Vabo::ScreenManagerInterface {
public:
    void InvalidateRect(const Vabo::Rect& rect) override { invalidated.push_back(rect); }
    void SetFocusObject(Vabo::GuiObject* object) override { focus = object; }
    Vabo::GuiObject* GetBaseRoot() const override { return baseRoot; }
    void SetLeftButtonHeld(bool held) override { leftHeld = held; }
    void SetRightButtonHeld(bool held) override { rightHeld = held; }
    void ActivateScreen(const std::string& name, bool push) override { activated.emplace_back(name, push); }
    void AddScreen(const std::string& screenName, bool destroyOnDeactivate, const std::string& objectName,
                   const std::string& fileName) override
    {
        screens.emplace_back(screenName, destroyOnDeactivate, objectName, fileName);
    }
    void ReturnKeyboardFocus() override { ++focusReturned; }

    std::vector<Vabo::Rect> invalidated;
    Vabo::GuiObject* focus = nullptr;
    Vabo::GuiObject* baseRoot = nullptr;
    // Start held, so that a test sees them released.
    bool leftHeld = true;
    bool rightHeld = true;
    std::vector<std::pair<std::string, bool>> activated;
    std::vector<std::tuple<std::string, bool, std::string, std::string>> screens;
    int focusReturned = 0;
};
