#include "TestTypes.h"

#include <tinyxml.h>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"

namespace ObjectsTest {

using Vabo::GuiObject;
using Vabo::Signal::Base;

namespace {

Vabo::RegisterClass<Panel> panelClass("Test::Panel", "", [](TiXmlElement* e) { return new Panel(e); });
Vabo::RegisterClass<Recorder> recorderClass("Test::Recorder", "", [](TiXmlElement* e) { return new Recorder(e); });
Vabo::RegisterClass<DerivedRecorder> derivedClass("Test::DerivedRecorder", "",
                                                  [](TiXmlElement* e) { return new DerivedRecorder(e); });

Vabo::RegisterClassSlot<Recorder, Base> recordSlot("Test::Recorder::RecordSlot", &Recorder::RecordSlot);
Vabo::RegisterClassSlot<Recorder, Vabo::Signal::Activate> activateOnlySlot("Test::Recorder::ActivateOnlySlot",
                                                                           &Recorder::ActivateOnlySlot);
Vabo::RegisterClassSlot<Recorder, Base> virtualSlot("Test::Recorder::VirtualSlot", &Recorder::VirtualSlot);

} // namespace

Panel::Panel(TiXmlElement* element)
    : GuiObject(element, 1, 0)
{
    RegisterLoader(element, this);
}

bool Panel::LoadFromXML(TiXmlElement* element)
{
    Vabo::GlobalObjectFactory_& factory = DllGlobalObjectFactoryInstance();
    for (TiXmlElement* child : GetChildren(element, "")) {
        std::string type = child->Value();
        if (type == "Connect" || type == "Alias")
            continue;
        std::string name;
        ReadXmlAttribute(name, child, "Name", true);
        GuiObject* object = factory.CreateAndRegister(type, name, this, child);
        if (!object)
            return false;
        int x = 0, y = 0, width = 0, height = 0;
        ReadXmlAttribute(x, child, "X", false, Vabo::kSkinLength);
        ReadXmlAttribute(y, child, "Y", false, Vabo::kSkinLength);
        ReadXmlAttribute(width, child, "Width", false, Vabo::kSkinLength);
        ReadXmlAttribute(height, child, "Height", false, Vabo::kSkinLength);
        object->SetPosition(x, y);
        object->SetSize(width, height);
        AddChild(object, false);
    }
    int width = 0, height = 0;
    ReadXmlAttribute(width, element, "Width", false, Vabo::kSkinLength);
    ReadXmlAttribute(height, element, "Height", false, Vabo::kSkinLength);
    SetSize(width, height);
    return true;
}

Recorder::Recorder(TiXmlElement* element)
    : GuiObject(element, 1, 0)
{
}

void Recorder::RecordSlot(Base* signal, GuiObject* object)
{
    calls.push_back("Record:" + signal->Name() + ":" + object->GetName());
}

void Recorder::ActivateOnlySlot(Base* signal, GuiObject* object)
{
    calls.push_back("ActivateOnly:" + signal->Name() + ":" + object->GetName());
}

void Recorder::VirtualSlot(Base* signal, GuiObject* object)
{
    calls.push_back("Virtual:" + signal->Name() + ":" + object->GetName());
}

void DerivedRecorder::VirtualSlot(Base* signal, GuiObject* object)
{
    calls.push_back("DerivedVirtual:" + signal->Name() + ":" + object->GetName());
}

} // namespace ObjectsTest
