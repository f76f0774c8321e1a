#pragma once
// Works a skin as a user and the clock would, for the skin fuzzing harness and
// the tests that replay what it found: the document through the real loader
// and factory on a real screen manager, laid out, drawn, ticked (also late),
// pressed, dragged, scrolled, typed at, resized and laid out again. A skin the
// loader refuses ends the drive by an exception; anything worse is the fault.
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/GuiObject.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"
#include "framework/host/ScreenManager.h"
#include "platform/Clock.h"
#include "platform/HostInput.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Fuzz {

namespace Drive {

inline void Draw(Vabo::GuiObject& root)
{
    GdiplusGfxLayer::Image canvas(320, 200);
    GdiplusGfxLayer::Painter painter(canvas);
    root.Render(painter);
}

inline void Resize(Vabo::GuiObject& root, int width, int height)
{
    root.SetSize(width, height);
    root.UpdateLayout();
    Draw(root);
}

} // namespace Drive

// Throws what the loader throws for a skin it refuses.
inline void DriveSkin(const std::string& path, Platform::ManualClock& clock)
{
    // The document leaves the document map with the loader, as a screen's
    // does: one skin after another in a process, as the fuzzer drives them,
    // would otherwise keep every one until exit.
    XMLLoadSave loader;
    TiXmlElement* element = loader.LoadOwnXML(path);
    if (!element)
        return;
    Vabo::ScreenManager screens;
    std::shared_ptr<Vabo::GuiObject> root = DllGlobalObjectFactoryInstance().Create(element);
    if (!root)
        return;
    struct Detach {
        Vabo::ScreenManager& screens;
        ~Detach() { screens.ClearBaseRoot(); }
    } detach{screens};
    root->SetScreenManager(&screens);
    screens.SetBaseRoot(root.get());
    Vabo::Signal::ConnectXMLSlots connect;
    screens.Broadcast(connect, false);
    Drive::Resize(*root, 320, 200);

    const Vabo::Point middle{160, 100};
    const Vabo::Point points[] = {middle, {0, 0}, {319, 199}, {-5, 400}, middle};
    for (const Vabo::Point& point : points) {
        clock.Advance(120);
        screens.Timer();
        screens.MouseMove(point, true);
        screens.LeftButtonDown(point);
        screens.MouseMove(Vabo::Point{point.x + 40, point.y + 30}, true);
        screens.LeftButtonUp(Vabo::Point{point.x + 40, point.y + 30});
    }
    screens.LeftButtonDblClk(middle);
    screens.MouseWheel(middle, Platform::kWheelNotch);
    screens.MouseWheel(middle, -3 * Platform::kWheelNotch);
    screens.RightButtonDown(middle);
    screens.RightButtonUp(middle);
    const std::uint32_t keys[] = {'1',
                                  '.',
                                  'a',
                                  ' ',
                                  8,
                                  13,
                                  Platform::VirtualKey::Home | Platform::kVirtualKeyFlag,
                                  Platform::VirtualKey::End | Platform::kVirtualKeyFlag,
                                  Platform::VirtualKey::Left | Platform::kVirtualKeyFlag,
                                  Platform::VirtualKey::Down | Platform::kVirtualKeyFlag,
                                  Platform::VirtualKey::Delete | Platform::kVirtualKeyFlag};
    for (std::uint32_t key : keys)
        screens.KeyPress(key);
    Drive::Draw(*root);

    // A late tick, as after the machine slept, then ordinary ones.
    clock.Advance(24 * 60 * 60 * 1000);
    screens.Timer();
    for (int i = 0; i < 5; ++i) {
        clock.Advance(100);
        screens.Timer();
    }
    Drive::Draw(*root);

    Drive::Resize(*root, 1, 1);
    Drive::Resize(*root, 1200, 37);
    clock.Advance(500);
    screens.Timer();
    Drive::Resize(*root, 320, 200);
}

} // namespace Fuzz
