#include "framework/core/XmlObjectHolder.h"

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/GuiObject.h"
#include "framework/core/ScreenManagerInterface.h"
#include "framework/core/SkinLimits.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/core/XmlDocument.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"

#include <tinyxml.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace Vabo {
namespace {

// Sets the owner's loading flag for the lifetime of the guard.
class LoadingScope {
public:
    explicit LoadingScope(XMLLoadSave& object)
        : object_(object)
        , previous_(object.IsLoading())
    {
        object_.SetLoading(true);
    }
    ~LoadingScope() { object_.SetLoading(previous_); }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

private:
    XMLLoadSave& object_;
    bool previous_;
};

XmlObjectHolder::AddObjectDialogRunner& DialogRunner()
{
    static XmlObjectHolder::AddObjectDialogRunner runner;
    return runner;
}

bool IsPath(const std::string& name)
{
    return name.find("->") != std::string::npos;
}

// Whether an optional attribute, macros expanded, reads exactly the value.
bool AttributeIs(XMLLoadSave& reader, TiXmlElement* element, const char* name, const char* value)
{
    std::string text;
    return reader.ReadXmlAttribute(text, element, name, false) && text == value;
}

} // namespace

XmlObjectHolder::XmlObjectHolder()
    : startTicks_(Platform::NowMs())
    , running_(true)
    , animationAllowed_(true)
{
    // Keys due at once fire on the first tick.
    Platform::RequestNextTick();
}

bool XmlObjectHolder::CreateObjects(TiXmlElement* element)
{
    if (element == nullptr)
        return false;
    GuiObject* owner = GetOwner();
    bool result = true;
    for (TiXmlElement* child : owner->XMLLoadSave::GetChildren(element, "CreateObject"))
        result = CreateObject(child) && result;
    ResetCachedRect();
    owner->UpdateLayout();
    return result;
}

// An object counts as already built only when it is the owner's own child or
// is named by an explicit path: the scoped lookup alone would also find the
// names of enclosing layouts (every drop-down list has a "Background") and
// the new object would never be built. A plain name is looked up in the
// owner's own scope only, where its children are named, so that building
// many siblings does not climb and scan the whole tree for each.
bool XmlObjectHolder::ExistsForCreateObject(const std::string& name, GuiObject*& existing)
{
    GuiObject* owner = GetOwner();
    GlobalObjectFactory_& factory = DllGlobalObjectFactoryInstance();
    if (IsPath(name)) {
        existing = factory.FindObject(owner, name);
        return existing != nullptr;
    }
    existing = factory.FindOwned(owner, name);
    return existing != nullptr && existing->GetParent() == owner;
}

bool XmlObjectHolder::CreateObject(TiXmlElement* element)
{
    GuiObject* owner = GetOwner();
    std::string name;
    owner->ReadXmlAttribute(name, element, "Name", true);
    if (element->FirstChild() == nullptr)
        return true;

    const bool addToLayout = !AttributeIs(*owner, element, "AddToLayout", "false");
    GuiObject* object = nullptr;
    if (ExistsForCreateObject(name, object)) {
        if (addToLayout)
            ConfigureObjectLayout(object, element);
        else
            SetObjectRectFromXML(object, element);
        return true;
    }

    TiXmlElement* typeElement = owner->GetChild(element, "");
    object = DllGlobalObjectFactoryInstance().CreateAndRegister(typeElement->ValueStr(), name, owner, typeElement);
    if (object == nullptr)
        return false;

    if (AttributeIs(*owner, element, "Visible", "false"))
        object->SetVisible(false);
    if (AttributeIs(*owner, element, "ForceSelected", "true"))
        object->SetForceSelected(true);
    if (AttributeIs(*owner, element, "Selectable", "true"))
        object->SetUnselectable(0);

    if (!addToLayout) {
        SetObjectRectFromXML(object, element);
        owner->AddChild(object, true);
        return true;
    }
    if (owner->HasChild(element, "Animation")) {
        const Animation animation = CreateAnimation(owner->GetChild(element, "Animation"));
        AddObject(object, element, &animation);
    } else {
        AddObject(object, element, nullptr);
    }
    owner->AddTabObjectFromXML(object, element);
    return true;
}

bool XmlObjectHolder::CreateScreens(TiXmlElement* element)
{
    GuiObject* owner = GetOwner();
    LoadingScope loading(*owner);
    if (element == nullptr)
        return false;
    bool result = true;
    for (TiXmlElement* child : owner->XMLLoadSave::GetChildren(element, "CreateScreen"))
        result = CreateScreen(child) && result;
    return result;
}

bool XmlObjectHolder::CreateScreen(TiXmlElement* element)
{
    GuiObject* owner = GetOwner();
    std::string screenName;
    std::string objectName;
    std::string fileName;
    owner->ReadXmlAttribute(screenName, element, "ScreenName", true);
    owner->ReadXmlAttribute(objectName, element, "ObjectName", true);
    owner->ReadXmlAttribute(fileName, element, "Filename", true);
    const bool destroyOnDeactivate = AttributeIs(*owner, element, "DestroyOnDeactivate", "true");
    owner->GetScreenManager()->AddScreen(screenName, destroyOnDeactivate, objectName, fileName);
    return true;
}

TiXmlElement* XmlObjectHolder::FindObjectXml(const std::string& name)
{
    GuiObject* owner = GetOwner();
    for (TiXmlElement* child : owner->XMLLoadSave::GetChildren(owner->GetXmlElement(), "Object")) {
        LoadingScope loading(*owner);
        std::string childName;
        owner->ReadXmlAttribute(childName, child, "Name", true);
        if (childName == name)
            return owner->GetChild(child, "");
    }
    return nullptr;
}

void XmlObjectHolder::SetAddObjectDialogRunner(AddObjectDialogRunner runner)
{
    DialogRunner() = std::move(runner);
}

void XmlObjectHolder::AddObject(TiXmlElement* typeElement)
{
    static const std::string dialogFile = "$VABO/AddObjectWindow/AddObjectDialog.xml";
    GuiObject* owner = GetOwner();
    TiXmlElement* element = owner->GetXmlElement();
    if (element == nullptr) {
        Platform::Log("Vabo::XmlObjectHolder::AddObject - " + owner->GetName() + " has no XML element to extend");
        return;
    }
    TiXmlElement* dialog = owner->LoadXML(dialogFile);
    if (dialog == nullptr) {
        Platform::Log("Vabo::XmlObjectHolder::AddObject - cannot add an object without " + dialogFile);
        return;
    }
    if (!DialogRunner()) {
        Platform::Log("Vabo::XmlObjectHolder::AddObject - no add-object dialog is available");
        return;
    }
    std::string name;
    if (!DialogRunner()(owner->GetRootObject(), dialog, name))
        return;

    TiXmlElement createObject("CreateObject");
    createObject.SetAttribute("Name", name);
    createObject.SetAttribute("XPos", "10px");
    createObject.SetAttribute("YPos", "10px");
    createObject.SetAttribute("Width", "80px");
    createObject.SetAttribute("Height", "40px");
    createObject.InsertEndChild(*typeElement);
    typeElement->SetAttribute("Name", name);
    if (element->LastChild() != nullptr)
        element->InsertAfterChild(element->LastChild(), createObject);
    else
        element->InsertEndChild(createObject);
}

namespace {

// Whether the whole text is one finite number ("+" allowed before it).
bool IsWholeNumber(const std::string& text)
{
    const char* start = text.c_str();
    const char* end = start + text.size();
    if (start != end && *start == '+' && start + 1 != end && start[1] != '-')
        ++start;
    double number = 0.0;
    const auto result = std::from_chars(start, end, number);
    return start != end && result.ec == std::errc() && result.ptr == end && std::isfinite(number);
}

// A key's value, when the key gives one. Like a key time it must be a number
// as a whole: "abc" or "1.5x" is the skin's error, not a 0 or a 1.5.
bool ReadKeyValue(GuiObject& owner, TiXmlElement* element, const char* attribute, float& value,
                  const SkinRange<float>& range)
{
    std::string text;
    if (!owner.ReadXmlAttribute(text, element, attribute, false))
        return false;
    if (!IsWholeNumber(text))
        XMLLoadSave::ThrowXmlError(element, attribute);
    return owner.ReadXmlAttribute(value, element, attribute, false, range);
}

} // namespace

Animation XmlObjectHolder::CreateAnimation(TiXmlElement* element)
{
    Animation animation;
    int previousMs = 0;
    for (TiXmlElement* child : GetOwner()->XMLLoadSave::GetChildren(element, "Element")) {
        AnimationKey key;
        if (CreateAnimationElement(child, key, previousMs)) {
            animation.push_back(key);
            previousMs = key.timeMs;
        }
    }
    return animation;
}

bool XmlObjectHolder::CreateAnimationElement(TiXmlElement* element, AnimationKey& key, int previousMs)
{
    GuiObject* owner = GetOwner();
    std::string time;
    owner->ReadXmlAttribute(time, element, "TimeMS", true);
    // A key time that is not a whole number is a skin error like a missing
    // one, reported with the element it stands in.
    char* end = nullptr;
    const long long value = std::strtoll(time.c_str(), &end, 10);
    if (time.empty() || *end != '\0')
        XMLLoadSave::ThrowXmlError(element, "TimeMS");
    // Each step and the time of every key stay within a day, so that no sum
    // of steps can overflow.
    bool clamped = false;
    const int step = static_cast<int>(ClampToRange<long long>(value, 0, kMaxAnimationMs, clamped));
    key.timeMs = ClampToRange(step + previousMs, 0, kMaxAnimationMs, clamped);
    if (clamped)
        Platform::Log("Vabo::XmlObjectHolder: TimeMS " + time + " in " + XmlDocument::FileNameOf(element)
                      + " is kept within 0 to " + std::to_string(kMaxAnimationMs) + " ms from the start");

    std::string signalName;
    if (owner->ReadXmlAttribute(signalName, element, "Signal", false)) {
        key.signal = DllGlobalObjectFactoryInstance().CreateSignal(signalName);
        if (!key.signal)
            Platform::Log("Vabo::XmlObjectHolder::CreateAnimationElement - Failed to create signal " + signalName);
    }
    key.hasAlpha = ReadKeyValue(*owner, element, "Alpha", key.alpha, kSkinShare);
    key.hasX = ReadKeyValue(*owner, element, "XPos", key.x, kSkinLengthF);
    key.hasY = ReadKeyValue(*owner, element, "YPos", key.y, kSkinLengthF);
    key.hasWidth = ReadKeyValue(*owner, element, "Width", key.width, kSkinLengthF);
    key.hasHeight = ReadKeyValue(*owner, element, "Height", key.height, kSkinLengthF);
    return true;
}

bool XmlObjectHolder::StartAnimation()
{
    running_ = true;
    VisitAnimations([](GuiObject*, Animation& animation, const Fractions&) {
        for (AnimationKey& key : animation)
            key.fired = false;
    });
    startTicks_ = Platform::NowMs();
    Platform::RequestNextTick();
    return UpdateAnimation(false);
}

bool XmlObjectHolder::UpdateAnimation(bool applyOnly)
{
    const Platform::Milliseconds elapsed = Platform::NowMs() - startTicks_;
    bool applied = false;
    // Signals and repaints wait until the walk is over, so that a slot that
    // changes the layout cannot pull the records from under it. A slot may also
    // destroy an object whose key fired in the same step: each one is watched.
    struct Fired {
        GuiObject* object;
        std::weak_ptr<void> watch;
        std::shared_ptr<Signal::Base> signal;
    };
    std::vector<Fired> fired;
    VisitAnimations([&](GuiObject* child, Animation& animation, const Fractions& record) {
        for (AnimationKey& key : animation) {
            if (key.timeMs > elapsed)
                break;
            if (key.fired)
                continue;
            applied = true;
            if (key.hasAlpha)
                child->SetAlpha(key.alpha);
            if (key.hasX && key.hasY && key.hasWidth && key.hasHeight)
                ApplyFractions(
                    child, {key.x + record.x, key.y + record.y, key.width * record.width, key.height * record.height});
            if (!applyOnly) {
                key.fired = true;
                fired.push_back(Fired{child, child->Watch(), key.signal});
            }
        }
    });
    for (const Fired& entry : fired) {
        if (entry.signal && !entry.watch.expired())
            entry.object->SendToSelf(entry.signal.get());
        if (!entry.watch.expired())
            entry.object->Invalidate();
    }
    return applied;
}

Platform::Milliseconds XmlObjectHolder::NextAnimationKeyAt()
{
    Platform::Milliseconds next = Platform::kNoTick;
    VisitAnimations([&](GuiObject*, Animation& animation, const Fractions&) {
        for (const AnimationKey& key : animation)
            if (!key.fired)
                next = std::min(next, startTicks_ + Platform::Milliseconds(key.timeMs));
    });
    return next;
}

bool XmlObjectHolder::IsAnimating()
{
    if (!animationAllowed_ || !running_)
        return false;
    bool unfired = false;
    VisitAnimations([&](GuiObject*, Animation& animation, const Fractions&) {
        for (const AnimationKey& key : animation)
            unfired = unfired || !key.fired;
    });
    if (!unfired)
        running_ = false;
    return unfired;
}

} // namespace Vabo
