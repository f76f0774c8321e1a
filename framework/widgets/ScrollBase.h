// A whole scroll bar: a back arrow, a tic scroll object stretched between,
// and a forward arrow, sized from the skin's three lengths. An arrow moves the
// bar one tic, a click on the track before or after the bar a page of three.
#pragma once

#include "framework/widgets/FlowLayoutEndAligned.h"
#include "framework/widgets/FlowLayoutStartAligned.h"
#include "framework/widgets/ImageButton.h"
#include "framework/widgets/TicScrollObject.h"

namespace Vabo {

class ScrollBase : public FlowLayoutStartAligned {
public:
    // A page is always three tics.
    static constexpr int kTicsPerPage = 3;

    // Refuses (XMLLoadSaveException) a missing "BigAxisSize", "SmallAxisSize",
    // "ButtonSize", "Start" or "End", or a scroll object that cannot be built.
    explicit ScrollBase(TiXmlElement* element);
    ~ScrollBase() override;

    // Never shorter than both arrows and the scroll object's minimum bar.
    bool SetSize(int width, int height) override;

    // Three tics on or back, then a page signal from the scroll object.
    virtual void PageForward();
    virtual void PageBack();
    virtual void Connect() = 0;
    virtual void StepForwardSlot(Signal::Base* signal, GuiObject* object);
    virtual void StepBackSlot(Signal::Base* signal, GuiObject* object);
    virtual void PageForwardSlot(Signal::Base* signal, GuiObject* object);
    virtual void PageBackSlot(Signal::Base* signal, GuiObject* object);
    // Arrows step, track pieces page.
    virtual void ConnectParts();

    bool LoadFromXML(TiXmlElement* element);

    TicScrollObject& GetScrollObject() { return scrollObject_; }
    ImageButton& GetStartButton() { return startButton_; }
    ImageButton& GetEndButton() { return endButton_; }
    int GetSmallAxisSize() const { return smallAxisSize_; }
    int GetBigAxisSize() const { return bigAxisSize_; }
    bool IsVerticalBar() const { return vertical_; }

private:
    void ArrangeParts(int buttonSize);

    TicScrollObject scrollObject_;
    FlowLayoutEndAligned inner_;
    ImageButton startButton_;
    ImageButton endButton_;
    int smallAxisSize_ = 0;
    int bigAxisSize_ = 0;
    bool vertical_ = false;
    bool loaded_ = false;
};

} // namespace Vabo
