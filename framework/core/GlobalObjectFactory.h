#pragma once
// The process-wide registry that turns skin files into objects: XML type names to
// creators, slot names to slot factories, signal type names to type ids and signal
// creators. It owns the objects created for containers, keeps a name scope per
// containing object and globally named objects, and resolves names and "->" paths.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/GuiObject.h"
#include "framework/core/OwnedObjects.h"

class TiXmlElement;

namespace Vabo {

class GlobalObjectFactory_ {
public:
    using Creator = std::function<GuiObject*(TiXmlElement*)>;
    using SignalCreator = std::function<std::shared_ptr<Signal::Base>()>;

    // Makes the callable of a named slot for a given slot object.
    class SlotFactoryBase {
    public:
        explicit SlotFactoryBase(int signalTypeId)
            : signalTypeId_(signalTypeId)
        {
        }
        virtual ~SlotFactoryBase();
        SlotFactoryBase(const SlotFactoryBase&) = delete;
        SlotFactoryBase& operator=(const SlotFactoryBase&) = delete;

        // Empty when the slot object is not of the slot's class.
        virtual SlotFunction Create(GuiObject* slotObject) const = 0;
        int GetSignalTypeId() const { return signalTypeId_; }

    private:
        int signalTypeId_;
    };

    // A member function of T taking signals of SignalClass (or any signal type, when
    // SignalClass is Signal::Base). A virtual member runs the object's override.
    template <class T, class SignalClass, class Arg = SignalClass> class SlotFactory : public SlotFactoryBase {
    public:
        using Member = void (T::*)(Arg*, GuiObject*);

        explicit SlotFactory(Member member)
            : SlotFactoryBase(Signal::TypeIdOf<SignalClass>())
            , member_(member)
        {
        }

        SlotFunction Create(GuiObject* slotObject) const override
        {
            T* target = dynamic_cast<T*>(slotObject);
            if (!target)
                return SlotFunction();
            Member member = member_;
            return [target, member](Signal::Base* signal, GuiObject* object) {
                (target->*member)(static_cast<SignalClass*>(signal), object);
            };
        }

    private:
        Member member_;
    };

    GlobalObjectFactory_();
    ~GlobalObjectFactory_();
    GlobalObjectFactory_(const GlobalObjectFactory_&) = delete;
    GlobalObjectFactory_& operator=(const GlobalObjectFactory_&) = delete;

    // Registrations: the first of a name stays.
    void Register(const std::string& typeName, Creator creator);
    void RegisterSlot(const std::string& slotName, std::shared_ptr<SlotFactoryBase> factory);
    void RegisterSignal(const std::string& signalName, int typeId, SignalCreator creator);
    // The last registration of a global name wins.
    void RegisterGlobalObject(const std::string& name, GuiObject* object);

    GuiObject* GetGlobalObject(const std::string& name) const;
    // 0 when the name is not registered.
    int GetSignalId(const std::string& signalName) const;
    std::shared_ptr<Signal::Base> CreateSignal(const std::string& signalName) const;
    // Empty when the name is not registered, the slot takes another signal type, or
    // the slot object is not of the slot's class.
    SlotFunction CreateSlot(const std::string& slotName, GuiObject* slotObject, int signalTypeId) const;
    // Null when the name is not registered.
    const SlotFactoryBase* GetSlotFactory(const std::string& slotName) const;

    // Creates an object of the element's tag; empty when the type is not registered.
    std::shared_ptr<GuiObject> Create(TiXmlElement* element) const;
    // Creates an object named name for owner, which holds it from then on (an earlier
    // object of that name under the owner is detached and released); null on failure.
    GuiObject* CreateAndRegister(const std::string& typeName, const std::string& name, GuiObject* owner,
                                 TiXmlElement* element);
    // As CreateAndRegister, but an object the owner already holds under the name
    // stays and keeps the name; the new one is held beside it (a screen root
    // named like an object of the window it is shown in).
    GuiObject* CreateBeside(const std::string& typeName, const std::string& name, GuiObject* owner,
                            TiXmlElement* element);

    void AddAlias(const std::string& name, GuiObject* object, GuiObject* owner);
    void RegisterAliases(const std::string& name, GuiObject* object, GuiObject* owner);
    void RemoveAlias(const std::string& name, GuiObject* owner);
    void RemoveFixedAlias(GuiObject* owner);

    // Finds a name, or a path of names joined by "->" (each step found from the object
    // the step before found), from start upwards through its ancestors.
    // A path with an empty name finds nothing and is logged.
    GuiObject* FindObject(GuiObject* start, const std::string& path) const;
    // The object the owner itself holds or aliases under the name, without
    // looking further up; null when there is none.
    GuiObject* FindOwned(GuiObject* owner, const std::string& name) const;

    // Releases the objects created for the owner and its name scope. Objects
    // released while a signal is delivered die when the delivery has ended.
    void ForgetObject(GuiObject* owner);
    // Releases one object created for the owner (a screen root that is no longer
    // shown); false when the factory holds no such object for it.
    bool ReleaseObject(GuiObject* owner, GuiObject* object);
    // Releases every object the factory owns; run at exit before other singletons die.
    void Clear();

    // While the GUI builder edits the skin, the screen managers keep input
    // away from the ordinary objects (only the focus object still gets keys).
    void SetGuiBuilderMode(bool on) { guiBuilderMode_ = on; }
    bool IsGuiBuilderMode() const { return guiBuilderMode_; }

    std::vector<std::string> GetTypeNames() const;
    std::vector<std::string> GetSlotNames() const;
    std::vector<std::string> GetSignalNames() const;

    // Called by every dying GuiObject: drops all the factory knows about it, without
    // creating the factory or touching it after its destruction.
    static void ObjectDestroyed(GuiObject* object);

private:
    using Aliases = std::vector<std::pair<std::string, GuiObject*>>;

    GuiObject* FindName(GuiObject* start, const std::string& name) const;
    GuiObject* CreateOwned(const std::string& typeName, const std::string& name, GuiObject* owner,
                           TiXmlElement* element, bool replace);
    void ReportMissingType(const std::string& typeName, const TiXmlElement* element) const;
    void Forget(GuiObject* object);
    // Destroys a released object now, or retires it until the delivery in
    // progress has ended.
    static void Release(std::shared_ptr<GuiObject> object);

    std::map<std::string, SignalCreator> signalCreators_;
    std::map<std::string, GuiObject*> globalObjects_;
    std::map<std::string, std::shared_ptr<SlotFactoryBase>> slotFactories_;
    std::map<std::string, int> signalIds_;
    std::map<std::string, Creator> creators_;
    std::map<GuiObject*, OwnedObjects> ownedObjects_;
    std::map<GuiObject*, Aliases> aliases_;
    bool clearing_ = false;
    bool guiBuilderMode_ = false;

    // Run once at exit, before the first singleton dies, so that the objects the
    // factories own still find every singleton alive while they are destroyed.
    static void ClearAtExit();
    static std::vector<GlobalObjectFactory_*>& Live();
};

} // namespace Vabo

Vabo::GlobalObjectFactory_& DllGlobalObjectFactoryInstance();

namespace Vabo {

void WarnObjectNotFound(const std::string& name);

// Finds the named object (or "->" path) below start and casts it to T; null, with a
// warning in the log, when there is none or it is of another class.
template <class T> T* GetXMLObject(GuiObject* start, const std::string& name)
{
    GuiObject* found = DllGlobalObjectFactoryInstance().FindObject(start, name);
    T* result = dynamic_cast<T*>(found);
    if (!result)
        WarnObjectNotFound(name);
    return result;
}

} // namespace Vabo
