// A button made of three skin objects that cover it: the pressed face, the
// face shown while the button is selected (under the pointer or chosen by the
// keyboard) and the resting face. The visible face decides the hit area, so a
// button shaped by its picture reacts only where the picture does.
#pragma once

#include <memory>

#include "framework/widgets/GridLayout.h"

namespace Vabo {

class ImageButton : public GridLayout {
public:
    // Throws XMLLoadSaveException (after the XML error naming the element) when
    // one of "Selected", "UnSelected" and "MouseOver" is missing or cannot be built.
    explicit ImageButton(TiXmlElement* element);
    ~ImageButton() override;

    bool HitTest(int x, int y) override;
    // Shows the face for the present state; the face is drawn as a child.
    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;

    bool LoadFromXML(TiXmlElement* element);

    GuiObject* GetSelectedFace() const { return selected_.get(); }
    GuiObject* GetUnSelectedFace() const { return unSelected_.get(); }
    GuiObject* GetMouseOverFace() const { return mouseOver_.get(); }

private:
    static void ShowOnly(GuiObject* face, GuiObject* shown);

    std::shared_ptr<GuiObject> selected_;
    std::shared_ptr<GuiObject> unSelected_;
    std::shared_ptr<GuiObject> mouseOver_;
    bool loaded_ = false;
};

} // namespace Vabo
