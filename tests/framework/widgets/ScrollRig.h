#pragma once
// What the scrolling widget tests build on: a skin from tests/data/widgets/Scroll
// with the framework's own definitions, a real screen manager that turns
// presses, moves, wheel turns, keys and clock ticks into signals, the manual
// clock, and the tree drawn into a picture. Header only, so the widget and the
// host suites share it.
#include <tinyxml.h>

#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/GuiObject.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"
#include "framework/host/ScreenManager.h"
#include "platform/Clock.h"
#include "support/DocMapFolders.h"

class ScrollRig {
public:
    ScrollRig(const std::string& document, int width, int height)
        : folders_(std::string(PELLORA_TEST_DATA) + "/widgets/Scroll",
                   std::string(PELLORA_SOURCE_DIR) + "/lib/VABO/XML")
    {
        element_ = loader_.LoadXMLOrThrow(document);
        root_ = DllGlobalObjectFactoryInstance().Create(element_);
        root_->SetScreenManager(&screens_);
        screens_.SetBaseRoot(root_.get());
        root_->SetSize(width, height);
        root_->UpdateLayout();
        Vabo::Signal::ConnectXMLSlots connect;
        screens_.Broadcast(connect, false);
    }
    ~ScrollRig() { screens_.ClearBaseRoot(); }

    template <class T> T* Find(const std::string& path)
    {
        return dynamic_cast<T*>(DllGlobalObjectFactoryInstance().FindObject(root_.get(), path));
    }
    // A child element of the root's "Definitions" with its BaseXML merged in,
    // for parts built in code.
    TiXmlElement* Definition(const std::string& tag)
    {
        TiXmlElement* definitions = element_->FirstChildElement("Definitions");
        return definitions ? loader_.ResolveBaseXML(definitions->FirstChildElement(tag)) : nullptr;
    }

    void Press(int x, int y) { screens_.LeftButtonDown(Vabo::Point{x, y}); }
    void Release(int x, int y) { screens_.LeftButtonUp(Vabo::Point{x, y}); }
    void Click(int x, int y)
    {
        Move(x, y);
        Press(x, y);
        Release(x, y);
    }
    void Move(int x, int y) { screens_.MouseMove(Vabo::Point{x, y}, true); }
    void Wheel(int x, int y, int delta) { screens_.MouseWheel(Vabo::Point{x, y}, delta); }
    void Key(std::uint32_t code) { screens_.KeyPress(code); }
    // Moves the clock on and lets the GUI clock tick.
    void Tick(Platform::Milliseconds ms)
    {
        clock_.Advance(ms);
        screens_.Timer();
    }

    std::unique_ptr<GdiplusGfxLayer::Image> Draw()
    {
        auto picture = std::make_unique<GdiplusGfxLayer::Image>(root_->GetWidth(), root_->GetHeight());
        GdiplusGfxLayer::Painter painter(*picture);
        root_->Render(painter);
        return picture;
    }

    Vabo::GuiObject& Root() { return *root_; }
    Vabo::ScreenManager& Screens() { return screens_; }
    Platform::ManualClock& Clock() { return clock_; }

private:
    Platform::ManualClock clock_{1000};
    DocMapFolders folders_;
    XMLLoadSave loader_;
    Vabo::ScreenManager screens_;
    TiXmlElement* element_ = nullptr;
    std::shared_ptr<Vabo::GuiObject> root_;
};
