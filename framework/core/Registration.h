#pragma once
// Static registration of creatable classes, named slots and signal types with the
// global object factory. Each is a static object (or call) in the file of the class:
//
//   static Vabo::RegisterClass<Text> textClass("Vabo::Text", "$VABO/Objects/Text/Text.xml",
//                                               [](TiXmlElement* e) { return new Text(e); });
//   static Vabo::RegisterClassSlot<GuiObject, Signal::Base> showSlot("Vabo::GuiObject::SlotShow",
//                                                                   &GuiObject::SlotShow);
//   static Vabo::SignalRegistrar<Signal::Hide> hideSignal("Vabo::Signal::Hide");
#include <memory>
#include <string>

#include "framework/core/ClassXMLName.h"
#include "framework/core/DocMap.h"
#include "framework/core/GlobalObjectFactory.h"

namespace Vabo {

template <class T> class RegisterClass {
public:
    RegisterClass(const std::string& typeName, const std::string& defaultFile, GlobalObjectFactory_::Creator creator)
    {
        ::ClassXMLName<T>() = typeName;
        DllDocMapInstance().SetDefaultBaseXML(typeName, defaultFile);
        DllGlobalObjectFactoryInstance().Register(typeName, std::move(creator));
    }
};

template <class T, class SignalClass> class RegisterClassSlot {
public:
    template <class Arg> RegisterClassSlot(const std::string& slotName, void (T::*member)(Arg*, GuiObject*))
    {
        auto factory = std::make_shared<GlobalObjectFactory_::SlotFactory<T, SignalClass, Arg>>(member);
        DllGlobalObjectFactoryInstance().RegisterSlot(slotName, std::move(factory));
    }
};

// A new signal of class S in its default state.
template <class S> std::shared_ptr<Signal::Base> NewSignal()
{
    return std::make_shared<S>();
}

template <class S> class SignalRegistrar {
public:
    explicit SignalRegistrar(const std::string& signalName)
    {
        int typeId = Signal::TypeIdOf<S>();
        DllGlobalObjectFactoryInstance().RegisterSignal(signalName, typeId, &NewSignal<S>);
    }
};

} // namespace Vabo
