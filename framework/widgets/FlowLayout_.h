#pragma once
// Lays its children out one after another along one axis, without lengths
// from the skin: a fixed child keeps its own extent along the axis, an
// expandable one takes the space the fixed ones leave. The arrangement policy
// (FlowArrangements.h) says where each goes and how many there may be. Scroll
// bars, scroll objects and progress bars stand on these layouts and add their
// parts in code.
#include "framework/core/GuiObject.h"
#include "framework/widgets/FlowArrangements.h"

#include <map>

namespace Vabo {

template <class Arrangement> class FlowLayout_ : public GuiObject {
public:
    // The marker of an expandable child; any other marks a fixed one.
    static constexpr int kExpandable = -1;
    enum Orientation { Vertical = 0, Horizontal = 1 };

    // Reads "Orientation" (required): "Vertical" or "Horizontal".
    explicit FlowLayout_(TiXmlElement* element);
    ~FlowLayout_() override;

    bool LoadFromXML(TiXmlElement* element);

    // Adds a fixed child.
    virtual bool AddObject(GuiObject* child);
    // Adds a child fixed or, with kExpandable, expandable. A child that the
    // arrangement cannot take (a third one, or a second of the same kind where
    // one of each is needed) is refused here, with a logged error naming the
    // layout, so that no layout pass ever meets an arrangement it cannot lay
    // out; false then, and the layout keeps what it had.
    virtual bool AddObjectWithExtent(GuiObject* child, int extent);

    void ClearChildren() override;
    bool RemoveChild(GuiObject* child, bool update) override;
    void UpdateLayout() override;
    // Runs a layout pass first when children changed since the last drawing.
    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;

    int GetOrientation() const { return orientation_; }
    bool IsVertical() const { return orientation_ == Vertical; }
    bool IsExpandable(GuiObject* child) const;

private:
    // Whether the child may join with the marker; logs the refusal.
    bool Admits(GuiObject* child, int marker) const;
    void ForgetArrangement();
    // Sized, then moved, then laid out itself.
    static void Place(GuiObject* child, int x, int y, int width, int height);
    void ArrangeAligned(bool atEnd);
    void ArrangePadded();

    // Markers outlive their child's removal; adding the child again replaces
    // its marker.
    std::map<GuiObject*, int> markers_;
    int orientation_ = Vertical;
    // The bounds seen by the last pass of an aligned arrangement; all -1
    // until then and after every change of children.
    Rect cachedRect_{-1, -1, -1, -1};
    bool layoutNeeded_ = true;
};

extern template class FlowLayout_<StartAligned>;
extern template class FlowLayout_<EndAligned>;
extern template class FlowLayout_<AbsolutePadded>;

} // namespace Vabo
