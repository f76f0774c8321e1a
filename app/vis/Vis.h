#pragma once
// A container of displays that shows one at a time in its own rectangle and
// steps to the next on a click (or Return once selected), wrapping after the last. The shown display's
// index is kept in the settings under the container's XML type name. The
// displays are members of the derived class; the container does not own them.
#include "framework/core/GuiObject.h"

#include <cstddef>
#include <vector>

class VisBase;

class Vis : public Vabo::GuiObject {
public:
    explicit Vis(TiXmlElement* element);
    ~Vis() override;

    // Every display takes the size, shown or not.
    bool SetSize(int width, int height) override;
    // The shown display in this container's rectangle; false with none.
    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;
    // Makes dirty what the shown display's new values change.
    void Refresh();

    void NextChildSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);

    // Shows the stored display when the stored index names one; returns the
    // value read (-1 when none was stored or the stored text is no number).
    // From then on the index shown is among what SettingsWriters writes.
    int RestoreSelection();
    void SaveSelection();

    // The index of the shown display, -1 with none.
    int ShownIndex() const;
    VisBase* Shown() const;
    // Whether the shown display's values changed since it was last drawn.
    bool ValuesChanged() const;
    std::size_t DisplayCount() const { return displays_.size(); }
    VisBase* Display(std::size_t index) const { return index < displays_.size() ? displays_[index] : nullptr; }

protected:
    // Appends in cycling order; the first one appended is shown.
    void AddDisplay(VisBase& display);

private:
    std::vector<VisBase*> displays_;
    std::size_t current_ = 0;
};
