// The track-and-thumb part of a scroll bar: a track piece before the bar, the
// bar, and a track piece after it, along one axis. The bar's length shows a
// fraction of the track, never shorter than a minimum while that fraction is
// above 0; the bar can be dragged, and every move is told to the object's own
// connections as Signal::ScrollObjectSignal.
#pragma once

#include <memory>

#include "framework/widgets/FlowLayoutAbsolutePadded.h"
#include "framework/widgets/ImageButton.h"

namespace Vabo {

class ScrollObject : public FlowLayoutAbsolutePadded {
public:
    // The bar: a start cap, a stretching middle and an end cap
    // (ScrollObjectBarWrapper.h).
    class BarWrapper;

    // Track pieces from the child element "Buffer", the bar from "Bar";
    // refuses (XMLLoadSaveException) a missing "Orientation", "CallbackMode",
    // "MinimumBarSize" or either child.
    explicit ScrollObject(TiXmlElement* element);
    ~ScrollObject() override;

    // Keeps the bar's fraction of the new track.
    bool SetSize(int width, int height) override;
    // Moves the bar by delta pixels along the axis, kept inside the track.
    // Returns the delta plus what the clamp refused; with emit, tells the
    // connections whether the bar reached the start, the end, or moved.
    virtual int MoveBar(int delta, bool emit);

    // The bar's length as a fraction of the track, clamped to [0, 1].
    void SetBarFraction(float fraction);
    float GetBarFraction() const { return barFraction_; }
    // The track's length minus the bar's; may be negative.
    int GetTravel() const;

    void DragStartSlot(Signal::Base* signal, GuiObject* object);
    void DragSlot(Signal::Base* signal, GuiObject* object);
    void DragEndSlot(Signal::Base* signal, GuiObject* object);

    bool LoadFromXML(TiXmlElement* element);

    BarWrapper& GetBar() { return *bar_; }
    ImageButton& GetLeadingTrack() { return leadingTrack_; }
    ImageButton& GetTrailingTrack() { return trailingTrack_; }
    bool IsVerticalBar() const { return vertical_; }
    bool IsDragging() const { return dragging_; }
    int GetMinimumBarSize() const { return minimumBarSize_; }
    int GetBarX() const;
    int GetBarY() const;
    // Position and length of the bar along the axis.
    int GetBarPosition() const;
    int GetBarLength() const;
    // Own position and extent along the axis, in the parent's frame.
    int GetAxisPosition() const;
    int GetAxisExtent() const;
    // The furthest position the bar can take, in the parent's frame.
    int GetMaxBarPosition() const;
    // Tells the object's own connections of a move.
    void Emit(int direction, int kind, int amount);

private:
    int WindowAxisStart() const;

    ImageButton leadingTrack_;
    ImageButton trailingTrack_;
    std::unique_ptr<BarWrapper> bar_;
    bool vertical_ = true;
    bool dragging_ = false;
    int dragAnchor_ = 0;
    // Where the drag last put the bar along the axis.
    int dragPlace_ = 0;
    // Set while the drag moves the bar and its listeners answer the move.
    bool followingDrag_ = false;
    // The bar was moved during the drag by something else (a step, a resize).
    bool movedBesideDrag_ = false;
    float barFraction_ = 0.0f;
    int minimumBarSize_ = 0;
    bool loaded_ = false;
};

} // namespace Vabo
