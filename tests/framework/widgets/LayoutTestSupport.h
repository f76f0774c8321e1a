#pragma once
// What the layout tests build skins with: a probe object that counts how it
// is placed and the pings it receives, a screen manager that records what the
// tree asks of it, and the document folders of the test skins.
#include "framework/core/DocMap.h"
#include "framework/core/GuiObject.h"
#include "framework/core/ScreenManagerInterface.h"
#include "framework/core/Signal.h"

#include <string>
#include <tuple>
#include <vector>

namespace LayoutTest {

// Registered as "Test::Signal::Ping" for animation keys.
class Ping : public Vabo::Signal::Base {
public:
    Ping() : Base(Vabo::Signal::TypeIdOf<Ping>(), false) {}
    std::string Name() const override { return "Test::Signal::Ping"; }
};

// Registered as "Test::Probe".
class Probe : public Vabo::GuiObject {
public:
    explicit Probe(TiXmlElement* element = nullptr);
    bool SetPosition(int x, int y) override;
    void PingSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);

    int placements = 0;
    int pings = 0;
};

class FakeScreenManager : public Vabo::ScreenManagerInterface {
public:
    void InvalidateRect(const Vabo::Rect&) override { ++invalidations; }
    void SetFocusObject(Vabo::GuiObject*) override {}
    Vabo::GuiObject* GetBaseRoot() const override { return nullptr; }
    void SetLeftButtonHeld(bool) override {}
    void SetRightButtonHeld(bool) override {}
    void ActivateScreen(const std::string&, bool) override {}
    void ReturnKeyboardFocus() override {}
    void AddScreen(const std::string& screenName, bool destroyOnDeactivate, const std::string& objectName,
                   const std::string& fileName) override
    {
        screens.emplace_back(screenName, destroyOnDeactivate, objectName, fileName);
    }

    int invalidations = 0;
    std::vector<std::tuple<std::string, bool, std::string, std::string>> screens;
};

// Points the document map at the widget test skins ("XML/...") and a library
// folder for one test, and puts the folders back afterwards. The default
// library is the framework's own definitions.
class Folders {
public:
    explicit Folders(const std::string& library = std::string(PELLORA_SOURCE_DIR) + "/lib/VABO/XML")
        : oldApp_(DllDocMapInstance().GetAppFolder()), oldLibrary_(DllDocMapInstance().GetLibraryFolder())
    {
        DllDocMapInstance().SetAppFolder(std::string(PELLORA_TEST_DATA) + "/framework/widgets");
        DllDocMapInstance().SetLibraryFolder(library);
    }
    ~Folders()
    {
        DllDocMapInstance().SetAppFolder(oldApp_);
        DllDocMapInstance().SetLibraryFolder(oldLibrary_);
    }
    Folders(const Folders&) = delete;
    Folders& operator=(const Folders&) = delete;

private:
    std::string oldApp_;
    std::string oldLibrary_;
};

} // namespace LayoutTest
