// GuiObject: loading from XML, the tooltip built from its document, and the
// connections that "Connect" elements describe.
#include <tinyxml.h>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/GuiObject.h"
#include "framework/core/ScreenManagerInterface.h"
#include "framework/core/XmlDocument.h"
#include "platform/EditorHook.h"
#include "platform/Log.h"

namespace Vabo {

namespace {

class LoadingScope {
public:
    LoadingScope(XMLLoadSave& object)
        : object_(object)
        , saved_(object.IsLoading())
    {
        object_.SetLoading(true);
    }
    ~LoadingScope() { object_.SetLoading(saved_); }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

private:
    XMLLoadSave& object_;
    bool saved_;
};

} // namespace

bool GuiObject::LoadFromXML(TiXmlElement* element)
{
    if (!element)
        return true;
    GlobalObjectFactory_& factory = DllGlobalObjectFactoryInstance();
    std::string text;
    if (ReadXmlAttribute(text, element, "GlobalName", false))
        factory.RegisterGlobalObject(text, this);
    if (ReadXmlAttribute(text, element, "Name", false))
        SetName(text);
    ReadXmlAttribute(alpha_, element, "Alpha", false, kSkinShare);
    if (const TiXmlDocument* document = element->GetDocument())
        SetScreenManager(XmlDocument::GetScreenManager(document));
    if (ReadXmlText(text, element_, "ToolTip", false))
        SetToolTipText(text);
    return true;
}

void GuiObject::AddLoader(Loader loader)
{
    loaders_.push_back(std::move(loader));
}

void GuiObject::RunLoader(const Loader& loader, TiXmlElement* element)
{
    LoadingScope scope(*this);
    if (!loader(element))
        throw XMLLoadSaveException();
}

void GuiObject::AddLoaderAndRun(TiXmlElement* element, Loader loader)
{
    if (!element)
        return;
    AddLoader(loader);
    RunLoader(loader, element);
}

void GuiObject::ReloadXml(bool recursive)
{
    if (element_) {
        // A loader may add loaders; run those present now.
        const std::vector<Loader> loaders = loaders_;
        for (const Loader& loader : loaders)
            RunLoader(loader, element_);
    }
    if (recursive) {
        const std::vector<GuiObject*> children = children_;
        for (GuiObject* child : children)
            child->ReloadXml(true);
    }
    Invalidate();
}

bool GuiObject::AddTabObjectFromXML(GuiObject* object, TiXmlElement* element)
{
    int tabX = 0;
    int tabY = 0;
    bool hasX = ReadXmlAttribute(tabX, element, "TabCoordX", false, kSkinLength);
    bool hasY = ReadXmlAttribute(tabY, element, "TabCoordY", false, kSkinLength);
    if (hasX && hasY)
        return AddTabObject(object, tabX, tabY);
    return false;
}

std::shared_ptr<GuiObject> GuiObject::BuildToolTipWindow()
{
    // The tip is built from a copy of its own, which carries its text and
    // goes with the tip (rebuilt at every resize).
    XMLLoadSave documents;
    TiXmlElement* root = documents.LoadOwnXML("XML/Main/ToolTip.xml", element_);
    if (!root)
        return nullptr;
    SetXmlAttribute(root, "Text", toolTipText_);
    std::shared_ptr<GuiObject> tip = DllGlobalObjectFactoryInstance().Create(root);
    if (tip)
        tip->TakeDocuments(documents);
    return tip;
}

void GuiObject::OnConnectXMLSlots(Signal::Base*, GuiObject*)
{
    if (!element_)
        return;
    // Processing stops at the first element that fails, so the connected elements
    // are always the first ones; elements appended later connect on a later call.
    const std::vector<TiXmlElement*> elements = GetChildren(element_, "Connect");
    for (; connectedElements_ < elements.size(); ++connectedElements_) {
        ConnectResult result = ConnectElement(elements[connectedElements_]);
        if (!result.Connected()) {
            Platform::Log("Connect failed in " + XmlDocument::FileNameOf(elements[connectedElements_]) + ": "
                          + result.message);
            throw XMLLoadSaveException();
        }
    }
}

ConnectResult GuiObject::ConnectElement(TiXmlElement* element)
{
    LoadingScope scope(*this);
    GlobalObjectFactory_& factory = DllGlobalObjectFactoryInstance();

    std::string signalName;
    ReadXmlAttribute(signalName, element, "Signal", true);
    std::string slotName;
    std::string screenName;
    bool addToBackStack = true;
    bool namedSlot = ReadXmlAttribute(slotName, element, "Slot", false);
    if (!namedSlot) {
        if (!ReadXmlAttribute(screenName, element, "ScreenSlot", false))
            return ConnectResult{Connection(), "No Slot attribute specified"};
        std::string push;
        if (ReadXmlAttribute(push, element, "AddToBackStack", false))
            addToBackStack = push != "false";
    }

    GuiObject* signalObject = nullptr;
    std::string name;
    if (ReadXmlAttribute(name, element, "SignalObject", false))
        signalObject = GetXMLObject<GuiObject>(this, name);
    else if (ReadXmlAttribute(name, element, "GlobalSignalObject", false))
        signalObject = factory.GetGlobalObject(name);

    if (!namedSlot) {
        if (!signalObject)
            return ConnectResult{Connection(), "Could not find signal object"};
        return signalObject->ConnectScreenSlot(signalName, screenName, addToBackStack);
    }

    GuiObject* slotObject = nullptr;
    if (ReadXmlAttribute(name, element, "SlotObject", false))
        slotObject = name == "this" ? this : GetXMLObject<GuiObject>(this, name);
    else if (ReadXmlAttribute(name, element, "GlobalSlotObject", false))
        slotObject = factory.GetGlobalObject(name);

    if (!signalObject)
        ThrowXmlError(element, "Could not find signal object");
    if (!slotObject)
        ThrowXmlError(element, "Could not find slot object");
    ConnectResult result = signalObject->ConnectSlot(signalName, slotName, slotObject);
    if (!result.Connected()) {
        Platform::Log(result.message);
        Platform::OpenInEditor(XmlDocument::FileNameOf(element));
    }
    return result;
}

ConnectResult GuiObject::ConnectSlot(const std::string& signalName, const std::string& slotName, GuiObject* slotObject)
{
    GlobalObjectFactory_& factory = DllGlobalObjectFactoryInstance();
    int typeId = factory.GetSignalId(signalName);
    if (typeId == 0)
        return ConnectResult{Connection(), "Failed to find signal " + signalName};
    SlotFunction slot = factory.CreateSlot(slotName, slotObject, typeId);
    if (!slot)
        return ConnectResult{Connection(), "Failed to find or connect slot " + slotName};
    return ConnectResult{Connect(typeId, nullptr, std::move(slot), slotObject->Watch()), ""};
}

ConnectResult GuiObject::ConnectScreenSlot(const std::string& signalName, const std::string& screenName,
                                           bool addToBackStack)
{
    int typeId = DllGlobalObjectFactoryInstance().GetSignalId(signalName);
    ScreenManagerInterface* screenManager = GetScreenManager();
    if (typeId == 0)
        return ConnectResult{Connection(), "Failed to find signal: " + signalName};
    SlotFunction activate = [screenManager, screenName, addToBackStack](Signal::Base*, GuiObject*) {
        screenManager->ActivateScreen(screenName, addToBackStack);
    };
    return ConnectResult{Connect(typeId, nullptr, std::move(activate), screenManager->Watch()), ""};
}

} // namespace Vabo
