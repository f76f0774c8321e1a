// GuiObject: selection through the tree and keyboard navigation over the tab list.
#include <algorithm>
#include <climits>
#include <tuple>

#include "framework/core/GuiObject.h"
#include "framework/core/ObjectSignals.h"

namespace Vabo {

namespace {

// The tab coordinate next to (tabX, tabY) in a direction; the grid has no negative
// coordinates, so stepping off the left or top edge stays on it.
void Neighbour(int direction, int& tabX, int& tabY)
{
    switch (direction) {
    case 0:
        tabX = std::max(tabX - 1, 0);
        break;
    case 1:
        ++tabX;
        break;
    case 2:
        tabY = std::max(tabY - 1, 0);
        break;
    case 3:
        ++tabY;
        break;
    default:
        break;
    }
}

} // namespace

bool GuiObject::SetSelectedBySignal(Signal::SelectObject* signal, bool select)
{
    bool before = IsSelected();
    bool result = SetSelected(select);
    if (result && !before && IsSelected())
        signal->selectedIds.push_back(GetId());
    return result;
}

bool GuiObject::SetSelected(bool select)
{
    if (select)
        return IsSelected() ? true : SelectAndNotify(nullptr);
    return IsSelected() ? Deselect() : true;
}

bool GuiObject::SelectAndNotify(Signal::SelectObject* signal)
{
    if (!IsVisible() || unselectable_ != 0 || IsSelected())
        return false;
    if (signal != nullptr)
        signal->selectedIds.push_back(GetId());
    std::weak_ptr<void> self = Watch();
    Signal::ObjectSelected selected;
    InvokeSlots(&selected, this, signal != nullptr ? signal->GetSource() : nullptr);
    if (self.expired())
        return false;
    selected_ = true;
    return true;
}

void GuiObject::Select()
{
    SelectAt(GetWindowX(), GetWindowY());
}

void GuiObject::SelectAt(int x, int y)
{
    Signal::SelectObject signal(x, y, this);
    GuiObject* top = GetTopObject();
    std::weak_ptr<void> topWatch = top->Watch();
    signal.SetSource(this);
    top->CollectReceivers(&signal, true);
    Deliver(&signal, nullptr);
    if (topWatch.expired())
        return;
    signal.select = false;
    signal.SetSource(this);
    top->CollectReceivers(&signal, true);
    Deliver(&signal, nullptr);
}

bool GuiObject::Deselect()
{
    if (!IsSelected()) {
        selected_ = false;
        return false;
    }
    std::weak_ptr<void> self = Watch();
    Signal::ObjectDeselected deselected;
    InvokeSlots(&deselected, this, nullptr);
    if (self.expired())
        return true;
    selected_ = false;
    return true;
}

void GuiObject::ClearSelection()
{
    selected_ = false;
    for (GuiObject* child : children_)
        child->ClearSelection();
}

bool GuiObject::HasSelectedChild() const
{
    return std::any_of(children_.begin(), children_.end(),
                       [](const GuiObject* child) { return child->IsSelected() || child->HasSelectedChild(); });
}

void GuiObject::TabSelect()
{
    // At the middle of the object, not at its corner: a round button leaves
    // its corners to what lies below, and a neighbour reaching a pixel over
    // the corner would be selected with it.
    SelectAt(GetWindowX() + GetWidth() / 2, GetWindowY() + GetHeight() / 2);
}

bool GuiObject::CanTabFrom(int)
{
    return true;
}

void GuiObject::OnSelectObject(Signal::Base* base, GuiObject*)
{
    auto* signal = static_cast<Signal::SelectObject*>(base);
    if (!IsSelected() && signal->select) {
        if (IsVisible() && HitTest(signal->x, signal->y) && SelectAndNotify(signal))
            Invalidate();
    } else if (IsSelected() && !signal->select) {
        if (!signal->HoldsId(GetId()) && IsVisible() && !HitTest(signal->x, signal->y) && Deselect())
            Invalidate();
    }
}

bool GuiObject::AddTabObject(GuiObject* object, int tabX, int tabY)
{
    // Entries of destroyed objects are dropped once the list has doubled, so
    // that adding many siblings does not walk the whole list each time.
    if (tabList_.size() >= 2 * prunedTabListSize_ + 16) {
        PruneTabList();
        prunedTabListSize_ = tabList_.size();
    }
    // An object that can neither be selected nor hold anything selectable takes
    // no selection: selecting it would send a selection through the whole tree
    // for nothing, once for every such sibling.
    const bool canTakeSelection = object->IsUnselectable() == 0 || !object->GetChildren().empty();
    if (object->IsVisible() && canTakeSelection && !HasVisibleTabObject()) {
        // A tree built without a screen manager (a skin loaded on its own) has
        // nothing to repaint and no selection to move: the object just takes it.
        if (HasScreenManager())
            object->Select();
        else
            object->SetSelected(true);
    }
    tabList_.push_back(TabEntry{tabX, tabY, object, object->Watch()});
    return true;
}

void GuiObject::PlaceInTabList(GuiObject* object, int tabX, int tabY)
{
    tabList_.push_back(TabEntry{tabX, tabY, object, object->Watch()});
}

void GuiObject::RemoveTabObject(GuiObject* object)
{
    tabList_.erase(std::remove_if(tabList_.begin(), tabList_.end(),
                                  [object](const TabEntry& entry) { return entry.object == object; }),
                   tabList_.end());
}

void GuiObject::PruneTabList()
{
    tabList_.erase(
        std::remove_if(tabList_.begin(), tabList_.end(), [](const TabEntry& entry) { return entry.watch.expired(); }),
        tabList_.end());
}

bool GuiObject::HasVisibleTabObject() const
{
    return std::any_of(tabList_.begin(), tabList_.end(), [](const TabEntry& entry) {
        // A selected leaf counts as much as a container holding the selection; without
        // it every new entry of a list of leaves would take the selection.
        return !entry.watch.expired() && entry.object->IsVisible()
            && (entry.object->IsSelected() || entry.object->HasSelectedChild());
    });
}

GuiObject* GuiObject::FindTabObjectAt(int tabX, int tabY)
{
    const TabEntry* entry = FindTabEntry(tabX, tabY, nullptr);
    return entry != nullptr ? entry->object : nullptr;
}

const GuiObject::TabEntry* GuiObject::FindTabEntry(int x, int y, GuiObject* skip)
{
    PruneTabList();
    int minX = INT_MAX;
    int minY = INT_MAX;
    int maxX = 0;
    int maxY = 0;
    for (const TabEntry& entry : tabList_) {
        minX = std::min(minX, entry.tabX);
        maxX = std::max(maxX, entry.tabX);
        minY = std::min(minY, entry.tabY);
        maxY = std::max(maxY, entry.tabY);
        if (entry.object->IsVisible() && entry.tabX == x && entry.tabY == y)
            return &entry;
    }
    if (x < minX || x > maxX || y < minY || y > maxY)
        return nullptr;
    for (const TabEntry& entry : tabList_) {
        bool sameColumn = entry.object != skip && entry.object->IsVisible() && entry.tabX == x;
        if (sameColumn || entry.tabY == y)
            return &entry;
    }
    return nullptr;
}

bool GuiObject::CanTakeSelection() const
{
    if (!IsVisible())
        return false;
    return unselectable_ == 0
        || std::any_of(children_.begin(), children_.end(),
                       [](const GuiObject* child) { return child->CanTakeSelection(); });
}

GuiObject* GuiObject::EntryStop(int direction)
{
    PruneTabList();
    // Forwards (right, down) a list is entered at its first place in reading
    // order, backwards at its last.
    const bool backwards = direction == 0 || direction == 2;
    const TabEntry* chosen = nullptr;
    for (const TabEntry& entry : tabList_) {
        if (entry.object == this || !entry.object->CanTakeSelection())
            continue;
        if (chosen == nullptr) {
            chosen = &entry;
            continue;
        }
        const auto place = std::tie(entry.tabY, entry.tabX);
        const auto best = std::tie(chosen->tabY, chosen->tabX);
        if (backwards ? best < place : place < best)
            chosen = &entry;
    }
    return chosen != nullptr ? chosen->object->EntryStop(direction) : this;
}

GuiObject* GuiObject::NextTabStop(int tabX, int tabY, GuiObject* origin, int direction)
{
    GuiObject* skip = origin;
    // Each step passes over one entry at most, so the list's length bounds the walk.
    for (std::size_t steps = 0; steps <= tabList_.size(); ++steps) {
        Neighbour(direction, tabX, tabY);
        const TabEntry* entry = FindTabEntry(tabX, tabY, skip);
        // The edge of the list: the object itself again is no move, and a
        // container further out may carry the key on.
        if (entry == nullptr || entry->object == origin || entry->object == skip)
            return nullptr;
        // A place that can take no selection is no stop: go on from there.
        if (entry->object->CanTakeSelection())
            return entry->object;
        tabX = entry->tabX;
        tabY = entry->tabY;
        skip = entry->object;
    }
    return nullptr;
}

void GuiObject::MoveSelection(Signal::SelectNextObject* signal, GuiObject* target)
{
    // A container with a tab list of its own is entered at its first (or,
    // going back, its last) stop, so that its contents are not stepped over.
    GuiObject* stop = target->EntryStop(signal->direction);
    stop->TabSelect();
    // The containers further up the chain of selected objects receive the same
    // signal after this one; the chosen object tells them the key was used.
    signal->chosen = stop;
}

void GuiObject::OnSelectNextObject(Signal::Base* base, GuiObject*)
{
    auto* signal = static_cast<Signal::SelectNextObject*>(base);
    if (signal->chosen != nullptr)
        return;
    PruneTabList();
    // Navigation selects other objects, which may change the tab list: work on a copy.
    const std::vector<TabEntry> entries = tabList_;
    if (!HasSelectedChild()) {
        // With nothing selected the key enters at the first stop in reading
        // order (going back, the last). Stepping on from the first entry's
        // place, as from a selected one, would pass over that first stop, so
        // the first Tab could never reach it.
        GuiObject* stop = EntryStop(signal->direction);
        if (stop != this)
            MoveSelection(signal, stop);
    } else {
        auto current = std::find_if(entries.begin(), entries.end(), [](const TabEntry& entry) {
            return !entry.watch.expired() && (entry.object->IsSelected() || entry.object->HasSelectedChild());
        });
        if (current != entries.end() && current->object->CanTabFrom(signal->direction)) {
            if (GuiObject* target = NextTabStop(current->tabX, current->tabY, current->object, signal->direction))
                MoveSelection(signal, target);
        }
    }
    Invalidate();
}

} // namespace Vabo
