// A view onto content that may be larger than itself, scrolled by a
// horizontal bar, a vertical bar or both. Bar moves become clip offsets in
// whole steps of content pixels; the bars' lengths and tics follow the view.
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

    // Bar lengths show the visible share; tic counts follow the travel; where
    // tics stand for positions, the bar stands on the view's tic.
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
    void ScrollXByBarPixels(int n);
    void ScrollYByBarPixels(int n);
    static int MoveAxis(int offset, int delta, int limit, int step, int& remainder);
    // The move above, kept within [0, limit].
    static int MoveAxis(int offset, int delta, int limit, int step, int& remainder, float& carry);
    TicScrollObject* Track(bool horizontal) const;
    int Offset(bool horizontal) const;
    // The furthest offset along the axis, 0 without content.
    int Limit(bool horizontal) const;
    // Whether the bar's tics stand for positions of the view: tic k at k
    // steps, the last at the end of the travel. So they do with fixed counts,
    // and with automatic ones where there is one tic per step of travel (rows
    // of one height). There every move leaves the view at the position of
    // its bar's tic, on both axes; elsewhere (rows of several heights) moves
    // go by whole lines from the view's own place, and the bar follows.
    bool TicsArePositions(bool horizontal) const;
    // The offset a tic stands for.
    int TicOffset(bool horizontal, int tic) const;
    void SetOffset(bool horizontal, int offset);
    // The view at the position of the bar's tic.
    void ShowBarTic(bool horizontal);
    // A view that stands elsewhere (new content, a resize, a move by
    // pixels) takes the bar to the tic of its place, and stands on it.
    void KeepBarOnView(bool horizontal);
    // n lines on or back: the bar's tic, with a bar, and the view.
    // False when nothing moved.
    bool StepLines(bool horizontal, int n);
    // The pixels in whole steps from the view's own place, within the content.
    void MoveByLines(bool horizontal, int pixels);
    int BarTic(bool horizontal) const;

    std::shared_ptr<ScrollBar> horizontalBar_;
    std::shared_ptr<ScrollBar> verticalBar_;
    ClippedWindow view_;
    Image corner_;
    int barThickness_ = 0;
    float carryX_ = 0.0f;
    float carryY_ = 0.0f;
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
