// A list of item objects stacked top to bottom in the order added, with one
// selected item (moved by the Up and Down keys) and one highlighted item (a
// clicked one), drawn over a band of the overlay colour the list's width.
#pragma once

#include <list>
#include <memory>

#include "framework/drawing/Color.h"
#include "framework/widgets/GridLayout.h"

namespace Vabo {

class NewListBox : public GridLayout {
public:
    // Refuses (XMLLoadSaveException) a missing or unreadable "ActiveOverlayColor".
    explicit NewListBox(TiXmlElement* element);
    ~NewListBox() override;

    // The sum of the items' heights.
    int GetHeight() const override;
    void TabSelect() override;
    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;
    void OnSelectObject(Signal::Base* signal, GuiObject* object) override;
    // Up (2) and Down (3) move the selection to the neighbouring item.
    void OnSelectNextObject(Signal::Base* signal, GuiObject* object) override;

    virtual bool SelectIndex(int index);
    virtual bool HighlightIndex(int index);
    virtual void SetHighlightItem(Signal::Base* signal, GuiObject* object);
    // Stacks the item below the others; items keep the order they were added
    // in whether or not sorting is asked for. Returns the item.
    virtual std::shared_ptr<GuiObject> AddItem(const std::shared_ptr<GuiObject>& item, bool sort);
    // Takes the item out and closes the gap it leaves.
    virtual void RemoveItemAt(int index);
    // Takes every item out; they stay alive until the list box dies.
    virtual void RemoveAllItems();
    virtual GuiObject* GetSelectedItem() const { return selected_; }
    virtual GuiObject* FindFirstItem() const;
    virtual GuiObject* GetItemAt(int index) const;
    virtual int GetHighlightIndex() const;
    virtual int GetSelectedIndex() const;

    int GetItemCount() const { return static_cast<int>(items_.size()); }
    GuiObject* GetLastItem() const { return items_.empty() ? nullptr : items_.back().get(); }
    GuiObject* GetHighlightItem() const { return highlighted_; }
    void SetSelectedItem(GuiObject* item) { selected_ = item; }

    bool LoadFromXML(TiXmlElement* element);

private:
    int IndexOf(const GuiObject* object) const;
    // Places every item below the ones before it.
    void Restack();

    std::list<std::shared_ptr<GuiObject>> items_;
    std::list<std::shared_ptr<GuiObject>> parked_;
    GuiObject* selected_ = nullptr;
    GuiObject* highlighted_ = nullptr;
    std::shared_ptr<GdiplusGfxLayer::Color> overlayColor_;
    bool inTabSelect_ = false;
};

} // namespace Vabo
