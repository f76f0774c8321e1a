#pragma once
// What the layout tests build skins with: a probe object that counts how it
// is placed and the pings it receives, and the document folders of the test
// skins.
#include "framework/core/GuiObject.h"
#include "framework/core/Signal.h"
#include "support/DocMapFolders.h"

#include <string>

namespace LayoutTest {

// Registered as "Test::Signal::Ping" for animation keys.
class Ping : public Vabo::Signal::Base {
public:
    Ping()
        : Base(Vabo::Signal::TypeIdOf<Ping>(), false)
    {
    }
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

// The widget test skins ("XML/...") with a library folder, by default the
// framework's own definitions.
inline DocMapFolders Folders(const std::string& library = std::string(PELLORA_SOURCE_DIR) + "/lib/VABO/XML")
{
    return DocMapFolders(std::string(PELLORA_TEST_DATA) + "/framework/widgets", library);
}

} // namespace LayoutTest
