// The draggable bar of a scroll object: a start cap, a middle that stretches
// and an end cap, shown pressed and selected as one piece.
#pragma once

#include "framework/widgets/FlowLayoutEndAligned.h"
#include "framework/widgets/FlowLayoutStartAligned.h"
#include "framework/widgets/ImageButton.h"
#include "framework/widgets/ScrollObject.h"

namespace Vabo {

class ScrollObject::BarWrapper : public FlowLayoutStartAligned {
public:
    // Refuses (XMLLoadSaveException) a missing "Start", "Middle" or "End" or
    // "EndThicknessInPixels".
    explicit BarWrapper(TiXmlElement* element);
    ~BarWrapper() override;

    // Keeps the caps at the end thickness across the axis.
    bool SetSize(int width, int height) override;
    bool Render(GdiplusGfxLayer::Painter& painter) override;
    void OnSelectObject(Signal::Base* signal, GuiObject* object) override;

    bool LoadFromXML(TiXmlElement* element);

    ImageButton& GetStart() { return start_; }
    ImageButton& GetMiddle() { return middle_; }
    ImageButton& GetEnd() { return end_; }
    int GetEndThickness() const { return endThickness_; }

private:
    void IgnoreSelection(Signal::Base* signal, GuiObject* object);
    void SizeCaps();

    FlowLayoutEndAligned inner_;
    ImageButton start_;
    ImageButton middle_;
    ImageButton end_;
    int endThickness_ = 0;
    bool loaded_ = false;
};

} // namespace Vabo
