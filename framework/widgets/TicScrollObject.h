// A scroll object with a discrete position: the bar's travel is divided into
// tics, and the bar is set to, or stepped by, a tic. Clicks on the track
// pieces are handed to callables (the scroll bar pages with them).
#pragma once

#include <functional>

#include "framework/widgets/ScrollObject.h"

namespace Vabo {

class TicScrollObject : public ScrollObject {
public:
    explicit TicScrollObject(TiXmlElement* element);
    ~TicScrollObject() override;

    // Keeps the bar on its tic at the new size.
    bool SetSize(int width, int height) override;

    // A negative count is refused (logged); 0 leaves the bar at the start.
    void SetTicCount(int count);
    int GetTicCount() const { return ticCount_; }
    int GetTic() const { return tic_; }
    // A page count from tics per page; fewer than one tic per page is refused
    // (logged), keeping the page count.
    void SetTicsPerPage(int ticsPerPage);
    int GetPageCount() const { return pageCount_; }
    // Moves the bar to the tic, clamped into [0, tic count]; true when the tic
    // lay inside.
    bool SetTic(int tic, bool emit);
    // The stored tic while the bar stands where that tic puts it; else the
    // first tic at or past the bar's position, the tic count when none.
    int GetTicFromBar() const;
    // Whether the bar stands where its tic puts it, not dragged off it.
    bool IsBarOnTic() const;
    // The first of the tics whose place lies nearest the bar (the later place
    // on a tie): what a dragged bar shows.
    int GetNearestTic() const;
    // One tic on from where the bar stands, then always a tic signal.
    void StepForward(bool emit);
    void StepBack(bool emit);
    // One tic on from the stored tic, without any signal.
    void NextTic();
    void PreviousTic();
    // A click on the track before the bar runs `back`, after it `forward`.
    void SetBufferCallbacks(std::function<void()> forward, std::function<void()> back);

    int GetPixelsPerTic() const;
    int GetPixelsPerPage() const;

private:
    int TicPosition(int tic) const;
    // The first tic placed at or past the position; the tic count when none.
    int FirstTicAtOrPast(int position) const;

    int tic_ = 0;
    int ticCount_ = 0;
    int pageCount_ = 0;
};

} // namespace Vabo
