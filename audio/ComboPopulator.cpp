#include "audio/ComboPopulator.h"

#include "framework/core/DocMap.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/GuiObject.h"
#include "platform/Log.h"

void ComboPopulator::AddEntry(const std::string& name)
{
    names_.push_back(name);
}

std::shared_ptr<Vabo::GuiObject> ComboPopulator::CreateEntry(const std::string& documentName,
                                                             const std::string& entryName)
{
    TiXmlElement* root = LoadXML(documentName);
    if (!root) {
        Platform::Log("ComboPopulator: no entry \"" + entryName + "\": cannot load " + documentName);
        return nullptr;
    }
    root->SetAttribute("Name", entryName);
    std::shared_ptr<Vabo::GuiObject> entry = DllGlobalObjectFactoryInstance().Create(root);
    documents_.push_back(root->GetDocument());
    if (!entry)
        return nullptr;
    entries_.push_back(entry);
    return entry;
}

void ComboPopulator::Clear()
{
    names_.clear();
    entries_.clear();
    for (const TiXmlDocument* document : documents_)
        DllDocMapInstance().RemoveDocument(document);
    documents_.clear();
}
