// A list box in a scroll window: long lists scroll by the bar, the wheel and
// a timed scroll of a number of lines, one line as high as the last item
// added that has a height, and keyboard navigation keeps the selected item in
// view.
#pragma once

#include "framework/host/ScrollWindow.h"
#include "framework/widgets/NewListBox.h"
#include "platform/Clock.h"

namespace Vabo {

class NewScrolledListBox : public ScrollWindow {
public:
    // Refuses what the scroll window and the list box refuse.
    explicit NewScrolledListBox(TiXmlElement* element);
    ~NewScrolledListBox() override;

    bool SetSize(int width, int height) override;
    void TabSelect() override;
    // Lays the list out again first when its items changed.
    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;
    // Reveals and selects the item the list chose for an Up or Down key.
    void OnSelectNextObject(Signal::Base* signal, GuiObject* object) override;

    // Passes an item's selection on to the scrolled list box's own connections.
    virtual void ForwardSelectionSlot(Signal::Base* signal, GuiObject* object);
    virtual void TimedScrollSlot(Signal::Base* signal, GuiObject* object);
    virtual std::shared_ptr<GuiObject> AddItem(const std::shared_ptr<GuiObject>& item, bool sort);
    virtual void RemoveItemAt(int index);
    virtual void RemoveAllItems();
    // Reveal the item, then select or highlight it; false without such an item.
    virtual bool SelectIndex(int index);
    virtual bool HighlightIndex(int index);
    virtual GuiObject* GetHighlightItem() const { return list_.GetHighlightItem(); }
    virtual int GetHighlightIndex() const { return list_.GetHighlightIndex(); }
    virtual int GetSelectedIndex() const { return list_.GetSelectedIndex(); }
    virtual GuiObject* FindFirstItem() const { return list_.FindFirstItem(); }
    // Scrolls the lines (down when positive) one every interval, then
    // selects the item as many lines from the selected one; 0 lines does nothing.
    virtual void StartTimedScroll(int lines, int intervalMs);
    // A turn towards the user scrolls a line down, away from the user a line up.
    virtual void WheelStepSlot(Signal::Base* signal, GuiObject* object);

    NewListBox& GetList() { return list_; }
    bool IsTimedScrollActive() const { return timedActive_; }

private:
    void Relayout();

    Platform::Milliseconds timedStart_;
    int timedProgress_ = 0;
    int timedLines_ = 0;
    int timedIntervalMs_ = 0;
    bool timedActive_ = false;
    NewListBox list_;
    bool needsRelayout_ = true;
};

} // namespace Vabo
