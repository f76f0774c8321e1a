#pragma once
// Small creatable types, registered statically like the real ones, for building
// object trees from skin documents in tests.
#include <string>
#include <vector>

#include "framework/core/GuiObject.h"

namespace ObjectsTest {

// A container whose loader builds one child per child element whose tag is a
// registered type, placed by its "X", "Y", "Width" and "Height" attributes.
class Panel : public Vabo::GuiObject {
public:
    explicit Panel(TiXmlElement* element);
    bool LoadFromXML(TiXmlElement* element);
};

// Records every signal its slots receive as "<slot>:<signal name>:<object name>".
class Recorder : public Vabo::GuiObject {
public:
    explicit Recorder(TiXmlElement* element);
    void RecordSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void ActivateOnlySlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    virtual void VirtualSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);

    std::vector<std::string> calls;
};

class DerivedRecorder : public Recorder {
public:
    using Recorder::Recorder;
    void VirtualSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object) override;
};

} // namespace ObjectsTest
