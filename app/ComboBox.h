#pragma once
// The drop-down list of a choice button: a popup window holding a background
// picture and one entry per name of a ComboPopulator, stacked top to bottom
// in equal bands. Entries come from the document named by "ObjectXML"; when
// it pops up the list is made as high as "EntryHeight" (a fraction of its
// parent) times its number of children.
#include "framework/host/PopupMenuWindow.h"
#include "framework/widgets/Image.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>

class ComboPopulator;

class ComboBox : public Vabo::PopupMenuWindow {
public:
    // Throws XMLLoadSaveException when "ObjectXML", "EntryHeight" or the
    // "Vabo::Image" child is missing.
    explicit ComboBox(TiXmlElement* element);
    ~ComboBox() override;

    bool LoadFromXML(TiXmlElement* element);

    // Adds the background picture and the populator's entries in its order; an
    // entry that cannot be made leaves its band empty.
    void Populate(ComboPopulator& populator);
    // Places entry i of n in the i-th of n bands.
    void AddEntry(std::shared_ptr<Vabo::GuiObject> entry, int i, int n);
    // Fits the height to the children, then shows or hides the list.
    void Popup() override;
    // Tells the name of the choice in effect; the list opens with its entry
    // marked, so that Up and Down count from it and Return keeps it. Without
    // one, or with no entry of that name, the first entry is marked.
    void SetChoiceInEffect(std::function<std::string()> choice) { choiceInEffect_ = std::move(choice); }

    const std::string& GetObjectXML() const { return objectXml_; }
    float GetEntryHeight() const { return entryHeight_; }

protected:
    void MarkOpeningEntry() override;

private:
    std::function<std::string()> choiceInEffect_;
    std::string objectXml_;
    bool loaded_ = false;
    float entryHeight_ = 0.1f;
    Vabo::Image background_;
};
