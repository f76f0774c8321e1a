#include "audio/ComboPopulator.h"

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
    // The entry keeps its copy of the document and the bases it names: they
    // leave the document map when the entry goes, whether the list is
    // cleared or the screen that fills it is built anew.
    XMLLoadSave documents;
    TiXmlElement* root = documents.LoadOwnXML(documentName);
    if (!root) {
        Platform::Log("ComboPopulator: no entry \"" + entryName + "\": cannot load " + documentName);
        return nullptr;
    }
    root->SetAttribute("Name", entryName);
    std::shared_ptr<Vabo::GuiObject> entry = DllGlobalObjectFactoryInstance().Create(root);
    if (!entry)
        return nullptr;
    entry->TakeDocuments(documents);
    entries_.push_back(entry);
    return entry;
}

void ComboPopulator::Clear()
{
    names_.clear();
    entries_.clear();
}
