// A view onto content that may be larger than itself, scrolled by a
// horizontal bar, a vertical bar or both. The view's clip offset is the one
// state of the scroll position: every move (an arrow, a page, a drag, a line
// step, bringing a child into view) decides a new offset by its own rule, and
// the bars are drawn from it.
#pragma once

#include <memory>

#include "framework/host/ClippedWindow.h"
#include "framework/widgets/GridLayout.h"
#include "framework/widgets/Image.h"
#include "framework/widgets/ScrollBar.h"

namespace Vabo {

class ScrollWindow : public GridLayout {
public:
    enum Mode { None = 0, VerticalBar = 0x01, HorizontalBar = 0x10, BothBars = 0x11 };

    // Refuses (XMLLoadSaveException) a missing "ScrollBars", "InterBarSpacer",
    // bar element or bar "SmallAxisSize".
    explicit ScrollWindow(TiXmlElement* element);
    ~ScrollWindow() override;

    bool SetSize(int width, int height) override;
    void UpdateLayout() override;
    // Replaces the content, keeping the relative scroll position.
    virtual void SetContent(GuiObject* content);

    ClippedWindow& GetView() { return view_; }
    GuiObject* GetContent() const { return view_.GetContent(); }

    // Moves the clip offset by whole steps, kept within the content.
    void ScrollBy(int dx, int dy);
    void ScrollLinesX(int n);
    void ScrollLinesY(int n);
    void SetStepX(int pixels) { stepX_ = pixels; }
    void SetStepY(int pixels) { stepY_ = pixels; }
    // A page in steps: it follows the step when that changes (as it does
    // with fixed tic counts), so that a page of the bar stays a page of the view.
    void SetPageX(int steps);
    void SetPageY(int steps);
    // The lines the automatic vertical tic count is made of, times the share
    // of the content that lies out of view: a list gives its number of rows,
    // which over rows of one height is a tic per row of travel.
    void SetLinesPerView(int lines);
    // Fixed tic counts (the steps follow the travel); also lets the window
    // step its vertical bar on ScrollStep and, with a horizontal bar, move its
    // selection in its own tab order.
    void SetTicCounts(int x, int y);
    void ResetScroll();

    // Whether the child of the content shows whole in the view; when not,
    // whether it lies below (right of) the view.
    bool IsChildVisibleY(GuiObject* child, bool& down);
    bool IsChildVisibleX(GuiObject* child, bool& right);
    // Scrolls step by step until the child shows, or no step moves the view.
    void ScrollIntoViewY(GuiObject* child);
    void ScrollIntoViewX(GuiObject* child);
    void ScrollIntoView(GuiObject* child);

    // The one step after every move, content change and resize: the view's
    // offset, the one state of the scroll position, is kept within the travel
    // on both axes, and each bar is drawn from it (its length shows the
    // visible share; its tic is the view's, see TicsArePositions).
    void SyncBars();

    void OnBarScrolled(Signal::Base* signal, GuiObject* object);
    void StepSlot(Signal::Base* signal, GuiObject* object);

    bool LoadFromXML(TiXmlElement* element);

    ScrollBar* GetHorizontalBar() const { return horizontalBar_.get(); }
    ScrollBar* GetVerticalBar() const { return verticalBar_.get(); }
    int GetMode() const { return mode_; }
    int GetStepX() const { return stepX_; }
    int GetStepY() const { return stepY_; }
    int GetPageY() const;

private:
    void BuildLayout();
    void UpdateTicCount();
    static int MoveAxis(int offset, int delta, int limit, int step, int& remainder);
    TicScrollObject* Track(bool horizontal) const;
    int Offset(bool horizontal) const;
    void SetOffset(bool horizontal, int offset);
    // The furthest offset along the axis, 0 without content.
    int Limit(bool horizontal) const;
    // Whether the bar's tics stand for positions of the view: so they do with
    // fixed counts (tic k at k x travel / count, in whole numbers), and with
    // automatic ones of a tic per step (tic k at k steps, the last at the end
    // of the travel): rows of one height, and any columns across. There the
    // view stands only at its tics, and moves go by tics. Elsewhere (rows of
    // several heights) moves go by whole lines from the view's own place, and
    // the bar stands at the tic nearest the view's share of the travel.
    bool TicsArePositions(bool horizontal) const;
    // The offset a tic stands for, where tics are positions.
    int TicOffset(bool horizontal, int tic) const;
    // The first tic whose offset is at or past the given one.
    int FirstTicAtOrPast(bool horizontal, int offset) const;
    // The tic the bar shows for a view at the offset; both ends exact.
    int TicOfOffset(bool horizontal, int offset) const;
    // The offset a tic stands for, where tics are shares of the travel.
    int ShareOffset(bool horizontal, int tic) const;
    // Kept within the travel, and on a tic where tics are positions.
    void SettleAxis(bool horizontal);
    // The offset n tics (where tics are positions) or n lines on from the given one.
    int LinesFrom(bool horizontal, int offset, int n) const;
    void MoveLines(bool horizontal, int n);
    // A dragged bar's place turned back into an offset.
    void FollowDrag(bool horizontal);
    bool IsChildVisible(bool horizontal, GuiObject* child, bool& further);
    void ScrollIntoViewAlong(bool horizontal, GuiObject* child);

    std::shared_ptr<ScrollBar> horizontalBar_;
    std::shared_ptr<ScrollBar> verticalBar_;
    ClippedWindow view_;
    Image corner_;
    int barThickness_ = 0;
    int remainderX_ = 0;
    int remainderY_ = 0;
    int mode_ = None;
    int stepX_ = 1;
    int stepY_ = 1;
    int pageStepsX_ = 0;
    int pageStepsY_ = 0;
    int linesPerView_ = 0;
    bool explicitTicCounts_ = false;
    bool stepsConnected_ = false;
    bool loaded_ = false;
};

} // namespace Vabo
