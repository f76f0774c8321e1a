#include "app/ComboBox.h"

#include "audio/ComboPopulator.h"
#include "framework/core/Registration.h"
#include "framework/widgets/GridLayout.h"
#include "framework/widgets/LayoutObject.h"

#include <tinyxml.h>

namespace {

Vabo::RegisterClass<ComboBox> comboClass("ComboBox", "", [](TiXmlElement* element) -> Vabo::GuiObject* {
    return new ComboBox(element);
});

// The background's element; the XML error when there is none.
TiXmlElement* BackgroundElement(TiXmlElement* element)
{
    XMLLoadSave reader;
    return reader.GetChild(element, "Vabo::Image");
}

} // namespace

ComboBox::ComboBox(TiXmlElement* element)
    : PopupMenuWindow(element)
    , background_(BackgroundElement(element))
{
    RegisterLoader<ComboBox>(element, this);
}

ComboBox::~ComboBox() = default;

bool ComboBox::LoadFromXML(TiXmlElement* element)
{
    SetUnselectable(false);
    if (loaded_)
        return true;
    ReadXmlAttribute(objectXml_, element, "ObjectXML", true);
    ReadXmlAttribute(entryHeight_, element, "EntryHeight", true, Vabo::kSkinFactor);
    loaded_ = true;
    return true;
}

void ComboBox::Populate(ComboPopulator& populator)
{
    AddObject(&background_, GetChild(GetXmlElement(), "Vabo::Image"), nullptr);
    populator.ForEachEntry(objectXml_, &ComboBox::AddEntry, this, populator.Count());
}

void ComboBox::AddEntry(std::shared_ptr<Vabo::GuiObject> entry, int i, int n)
{
    const float step = 1.0f / static_cast<float>(n);
    AddObjectAtFractions(entry.get(), 0.0f, static_cast<float>(i) * step, 1.0f, step);
    // Up and Down walk the entries top to bottom; the selected one (under the
    // pointer, or reached by the keys) shows its caption's selected colour.
    entry->SetUnselectable(0);
    for (Vabo::GuiObject* part : entry->GetChildren())
        part->SetUnselectable(0);
    AddTabObject(entry.get(), 0, i);
}

void ComboBox::Popup()
{
    if (auto* parent = dynamic_cast<Vabo::GridLayout*>(GetParent())) {
        Vabo::LayoutObject record;
        parent->StoreObjectRect(this, record, true);
        const float height = static_cast<float>(GetChildren().size()) * entryHeight_;
        parent->PlaceObject(this, record.x, record.y, record.width, Vabo::GridVal(0.0f, height), false);
    }
    PopupMenuWindow::Popup();
}

void ComboBox::MarkOpeningEntry()
{
    const std::string choice = choiceInEffect_ ? choiceInEffect_() : std::string();
    for (Vabo::GuiObject* child : GetChildren()) {
        if (!choice.empty() && child != &background_ && child->GetName() == choice) {
            child->TabSelect();
            return;
        }
    }
    PopupMenuWindow::MarkOpeningEntry();
}
