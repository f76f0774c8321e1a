#include "app/vis/Vis.h"

#include "app/SettingsStore.h"
#include "app/SettingsWriters.h"
#include "app/vis/VisBase.h"

#include "framework/core/ObjectSignals.h"

Vis::Vis(TiXmlElement* element)
    : GuiObject(element, true, false)
{
    // A click steps on, and so do Return and Space once the keys reached it.
    AddSlot<Vabo::Signal::Activate>(&Vis::NextChildSlot, this);
}

Vis::~Vis()
{
    SettingsWriters::Remove(this);
}

void Vis::AddDisplay(VisBase& display)
{
    displays_.push_back(&display);
    // With a second display there is something to step to: the keys stop here.
    SetUnselectable(displays_.size() > 1 ? 0 : 1);
}

bool Vis::SetSize(int width, int height)
{
    for (VisBase* display : displays_)
        display->SetSize(width, height);
    return GuiObject::SetSize(width, height);
}

bool Vis::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    VisBase* shown = Shown();
    if (!shown)
        return false;
    return shown->DrawClipped(painter, GetX(), GetY(), GetWidth(), GetHeight());
}

void Vis::Refresh()
{
    if (VisBase* shown = Shown())
        for (const Vabo::Rect& part : shown->ChangedAreas(GetX(), GetY(), GetWidth(), GetHeight()))
            VisBase::InvalidatePart(*this, part);
}

void Vis::NextChildSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    if (displays_.empty())
        return;
    // The click itself repaints the clicked object.
    current_ = (current_ + 1) % displays_.size();
}

int Vis::RestoreSelection()
{
    SettingsStore& settings = SettingsStore::Instance();
    const int stored = settings.Get<int>(GetTypeName(), -1);
    if (stored >= 0 && std::size_t(stored) < displays_.size())
        current_ = std::size_t(stored);
    // A stored text that is no number stays until another display is picked.
    settings.UsedInstead(GetTypeName(), ShownIndex());
    SettingsWriters::Add(this, [this] { SaveSelection(); });
    return stored;
}

void Vis::SaveSelection()
{
    SettingsStore::Instance().Set<int>(GetTypeName(), ShownIndex());
}

int Vis::ShownIndex() const
{
    return current_ < displays_.size() ? int(current_) : -1;
}

VisBase* Vis::Shown() const
{
    return current_ < displays_.size() ? displays_[current_] : nullptr;
}

bool Vis::ValuesChanged() const
{
    VisBase* shown = Shown();
    return shown && shown->ValuesChanged();
}
