#include "framework/core/GlobalObjectFactory.h"

#include <algorithm>
#include <tinyxml.h>

#include "framework/core/DeliveryGuard.h"
#include "framework/core/Singleton.h"
#include "framework/core/VaboInit.h"
#include "framework/core/XmlDocument.h"
#include "platform/EditorHook.h"
#include "platform/Log.h"

namespace Vabo {

namespace {

// Objects are built recursively, one level of the stack and more per level
// of the object tree; a skin nesting deeper than any real one (or a base that
// builds itself again) ends with a skin error instead of a stack overflow.
constexpr int kMaxCreationDepth = 64;
thread_local int creationDepth = 0;

class CreationDepth {
public:
    explicit CreationDepth(const TiXmlElement* element)
    {
        if (creationDepth >= kMaxCreationDepth) {
            Platform::Log("GlobalObjectFactory: objects nested deeper than " + std::to_string(kMaxCreationDepth)
                          + " levels at " + element->ValueStr() + " in " + XmlDocument::FileNameOf(element));
            throw XMLLoadSave::XMLLoadSaveException();
        }
        ++creationDepth;
    }
    ~CreationDepth() { --creationDepth; }
    CreationDepth(const CreationDepth&) = delete;
    CreationDepth& operator=(const CreationDepth&) = delete;
};

} // namespace

GlobalObjectFactory_::SlotFactoryBase::~SlotFactoryBase() = default;

std::vector<GlobalObjectFactory_*>& GlobalObjectFactory_::Live()
{
    // Never destroyed: objects that die during exit still ask it.
    static auto* live = new std::vector<GlobalObjectFactory_*>;
    return *live;
}

GlobalObjectFactory_::GlobalObjectFactory_()
{
    Live().push_back(this);
    _VaboInit::SetFactoryClear(&ClearAtExit);
}

void GlobalObjectFactory_::ClearAtExit()
{
    for (GlobalObjectFactory_* factory : Live())
        factory->Clear();
}

GlobalObjectFactory_::~GlobalObjectFactory_()
{
    Clear();
    auto& live = Live();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

void GlobalObjectFactory_::Register(const std::string& typeName, Creator creator)
{
    creators_.emplace(typeName, std::move(creator));
}

void GlobalObjectFactory_::RegisterSlot(const std::string& slotName, std::shared_ptr<SlotFactoryBase> factory)
{
    slotFactories_.emplace(slotName, std::move(factory));
}

void GlobalObjectFactory_::RegisterSignal(const std::string& signalName, int typeId, SignalCreator creator)
{
    signalIds_.emplace(signalName, typeId);
    signalCreators_.emplace(signalName, std::move(creator));
}

void GlobalObjectFactory_::RegisterGlobalObject(const std::string& name, GuiObject* object)
{
    globalObjects_[name] = object;
}

GuiObject* GlobalObjectFactory_::GetGlobalObject(const std::string& name) const
{
    auto it = globalObjects_.find(name);
    return it == globalObjects_.end() ? nullptr : it->second;
}

int GlobalObjectFactory_::GetSignalId(const std::string& signalName) const
{
    auto it = signalIds_.find(signalName);
    return it == signalIds_.end() ? 0 : it->second;
}

std::shared_ptr<Signal::Base> GlobalObjectFactory_::CreateSignal(const std::string& signalName) const
{
    auto it = signalCreators_.find(signalName);
    return it == signalCreators_.end() ? nullptr : it->second();
}

SlotFunction GlobalObjectFactory_::CreateSlot(const std::string& slotName, GuiObject* slotObject,
                                              int signalTypeId) const
{
    auto it = slotFactories_.find(slotName);
    if (it == slotFactories_.end())
        return SlotFunction();
    int expected = it->second->GetSignalTypeId();
    if (expected != signalTypeId && expected != Signal::TypeIdOf<Signal::Base>())
        return SlotFunction();
    return it->second->Create(slotObject);
}

void GlobalObjectFactory_::ReportMissingType(const std::string& typeName, const TiXmlElement* element) const
{
    const TiXmlDocument* document = element ? element->GetDocument() : nullptr;
    std::string fileName = document ? document->Value() : "";
    Platform::Log("GlobalObjectFactory: Failed to create object of type " + typeName + " filename = " + fileName);
    Platform::OpenInEditor(fileName);
}

const GlobalObjectFactory_::SlotFactoryBase* GlobalObjectFactory_::GetSlotFactory(const std::string& slotName) const
{
    auto it = slotFactories_.find(slotName);
    return it == slotFactories_.end() ? nullptr : it->second.get();
}

std::shared_ptr<GuiObject> GlobalObjectFactory_::Create(TiXmlElement* element) const
{
    std::string typeName = element ? element->Value() : "";
    auto it = creators_.find(typeName);
    if (it == creators_.end()) {
        ReportMissingType(typeName, element);
        return nullptr;
    }
    CreationDepth depth(element);
    return std::shared_ptr<GuiObject>(it->second(element));
}

GuiObject* GlobalObjectFactory_::CreateAndRegister(const std::string& typeName, const std::string& name,
                                                   GuiObject* owner, TiXmlElement* element)
{
    return CreateOwned(typeName, name, owner, element, true);
}

GuiObject* GlobalObjectFactory_::CreateBeside(const std::string& typeName, const std::string& name, GuiObject* owner,
                                              TiXmlElement* element)
{
    return CreateOwned(typeName, name, owner, element, false);
}

GuiObject* GlobalObjectFactory_::CreateOwned(const std::string& typeName, const std::string& name, GuiObject* owner,
                                             TiXmlElement* element, bool replace)
{
    auto creator = creators_.find(typeName);
    if (creator == creators_.end() || !element) {
        ReportMissingType(typeName, element);
        return nullptr;
    }
    // The old name stays reachable as an alias; an element built again under the
    // same name (a screen rebuilt on every activation) must not gain one each time.
    const char* oldName = element->Attribute("Name");
    if (oldName && name != oldName) {
        TiXmlElement alias("Alias");
        alias.SetAttribute("Name", oldName);
        element->InsertEndChild(alias);
    }
    element->SetAttribute("Name", name);

    std::shared_ptr<GuiObject> object;
    {
        CreationDepth depth(element);
        object.reset(creator->second(element));
    }
    if (!object)
        return nullptr;

    OwnedObjects& owned = ownedObjects_[owner];
    if (replace) {
        if (std::shared_ptr<GuiObject> replaced = owned.Put(name, object)) {
            replaced->RemoveFromParent();
            Release(std::move(replaced));
        }
    } else {
        owned.Add(name, object);
    }

    if (TiXmlElement* own = object->GetXmlElement()) {
        for (TiXmlElement* alias = own->FirstChildElement("Alias"); alias; alias = alias->NextSiblingElement("Alias")) {
            const char* aliasName = alias->Attribute("Name");
            if (aliasName && name == aliasName)
                AddAlias(name, object.get(), owner);
        }
    }
    return object.get();
}

void GlobalObjectFactory_::AddAlias(const std::string& name, GuiObject* object, GuiObject* owner)
{
    aliases_[owner].emplace_back(name, object);
}

void GlobalObjectFactory_::RegisterAliases(const std::string& name, GuiObject* object, GuiObject* owner)
{
    if (!object)
        return;
    AddAlias(name, object, owner);
    TiXmlElement* element = object->GetXmlElement();
    if (!element)
        return;
    for (TiXmlElement* alias = element->FirstChildElement("Alias"); alias; alias = alias->NextSiblingElement("Alias")) {
        const char* aliasName = alias->Attribute("Name");
        if (aliasName && name == aliasName)
            AddAlias(name, object, owner);
    }
}

void GlobalObjectFactory_::RemoveAlias(const std::string& name, GuiObject* owner)
{
    auto list = aliases_.find(owner);
    if (list == aliases_.end())
        return;
    auto& entries = list->second;
    auto entry = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.first == name; });
    if (entry != entries.end())
        entries.erase(entry);
}

void GlobalObjectFactory_::RemoveFixedAlias(GuiObject* owner)
{
    RemoveAlias("funk", owner);
}

GuiObject* GlobalObjectFactory_::FindObject(GuiObject* start, const std::string& path) const
{
    static const std::string separator = "->";
    // An empty name would match the nearest unnamed ancestor, so a mistyped
    // path ("", "A->", "->->") would quietly stand for a whole window.
    std::vector<std::string> names;
    for (std::string::size_type begin = 0;;) {
        const std::string::size_type arrow = path.find(separator, begin);
        names.push_back(path.substr(begin, arrow == std::string::npos ? std::string::npos : arrow - begin));
        if (names.back().empty()) {
            Platform::Log("GlobalObjectFactory: the object path \"" + path + "\" has an empty name");
            return nullptr;
        }
        if (arrow == std::string::npos)
            break;
        begin = arrow + separator.size();
    }
    for (const std::string& name : names) {
        if (!start)
            return nullptr;
        start = FindName(start, name);
    }
    return start;
}

GuiObject* GlobalObjectFactory_::FindOwned(GuiObject* owner, const std::string& name) const
{
    auto owned = ownedObjects_.find(owner);
    if (owned != ownedObjects_.end()) {
        if (GuiObject* found = owned->second.Find(name))
            return found;
    }
    auto aliased = aliases_.find(owner);
    if (aliased != aliases_.end()) {
        for (const auto& entry : aliased->second) {
            if (entry.first == name)
                return entry.second;
        }
    }
    return nullptr;
}

GuiObject* GlobalObjectFactory_::FindName(GuiObject* start, const std::string& name) const
{
    for (GuiObject* object = start; object; object = object->GetParent()) {
        if (GuiObject* found = FindOwned(object, name))
            return found;
        if (object->GetName() == name)
            return object;
        if (TiXmlElement* element = object->GetXmlElement()) {
            for (TiXmlElement* alias = element->FirstChildElement("Alias"); alias;
                 alias = alias->NextSiblingElement("Alias")) {
                const char* aliasName = alias->Attribute("Name");
                if (aliasName && name == aliasName)
                    return object;
            }
        }
    }
    return nullptr;
}

void GlobalObjectFactory_::ForgetObject(GuiObject* owner)
{
    if (clearing_)
        return;
    aliases_.erase(owner);
    auto owned = ownedObjects_.find(owner);
    if (owned == ownedObjects_.end())
        return;
    // The released objects' destructors come back here: take the list out first.
    std::list<OwnedObjects::Entry> released = owned->second.TakeAll();
    ownedObjects_.erase(owned);
    for (OwnedObjects::Entry& entry : released)
        Release(std::move(entry.second));
}

bool GlobalObjectFactory_::ReleaseObject(GuiObject* owner, GuiObject* object)
{
    if (clearing_)
        return false;
    auto owned = ownedObjects_.find(owner);
    if (owned == ownedObjects_.end())
        return false;
    // The object's destruction comes back here: take it out of the maps first.
    std::shared_ptr<GuiObject> released = owned->second.Take(object);
    if (!released)
        return false;
    if (owned->second.Empty())
        ownedObjects_.erase(owned);
    Release(std::move(released));
    return true;
}

void GlobalObjectFactory_::Release(std::shared_ptr<GuiObject> object)
{
    if (DeliveryGuard::Delivering())
        object->Retire();
    DeliveryGuard::Release(std::move(object));
}

void GlobalObjectFactory_::Forget(GuiObject* object)
{
    for (auto it = globalObjects_.begin(); it != globalObjects_.end();) {
        if (it->second == object)
            it = globalObjects_.erase(it);
        else
            ++it;
    }
    for (auto& list : aliases_) {
        auto& entries = list.second;
        entries.erase(
            std::remove_if(entries.begin(), entries.end(), [object](const auto& e) { return e.second == object; }),
            entries.end());
    }
    // A dying owner lets go of its children at once; each of its objects
    // leaving the children one by one would search them all every time.
    if (ownedObjects_.count(object) != 0)
        object->GuiObject::ClearChildren();
    ForgetObject(object);
}

void GlobalObjectFactory_::ObjectDestroyed(GuiObject* object)
{
    // A copy: forgetting releases owned objects, whose destruction comes back here.
    const std::vector<GlobalObjectFactory_*> live = Live();
    for (GlobalObjectFactory_* factory : live)
        factory->Forget(object);
}

void GlobalObjectFactory_::Clear()
{
    if (clearing_)
        return;
    clearing_ = true;
    std::map<GuiObject*, OwnedObjects> released = std::move(ownedObjects_);
    ownedObjects_.clear();
    released.clear();
}

std::vector<std::string> GlobalObjectFactory_::GetTypeNames() const
{
    std::vector<std::string> names;
    for (const auto& entry : creators_)
        names.push_back(entry.first);
    return names;
}

std::vector<std::string> GlobalObjectFactory_::GetSlotNames() const
{
    std::vector<std::string> names;
    for (const auto& entry : slotFactories_)
        names.push_back(entry.first);
    return names;
}

std::vector<std::string> GlobalObjectFactory_::GetSignalNames() const
{
    std::vector<std::string> names;
    for (const auto& entry : signalIds_)
        names.push_back(entry.first);
    return names;
}

void WarnObjectNotFound(const std::string& name)
{
    Platform::Log("Warning: GetXMLObject: Failed to find object named " + name);
}

} // namespace Vabo

Vabo::GlobalObjectFactory_& DllGlobalObjectFactoryInstance()
{
    return Vabo::SingletonHolder<Vabo::GlobalObjectFactory_>::Instance();
}
