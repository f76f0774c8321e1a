#include "framework/widgets/ImageButton.h"

#include "framework/core/Registration.h"
#include "framework/widgets/CreateDefinedChild.h"

namespace Vabo {

namespace {

RegisterClass<ImageButton> imageButtonClass("Vabo::ImageButton", "$VABO/Objects/ImageButton/ImageButton.xml",
                                            [](TiXmlElement* element) -> GuiObject* {
                                                return new ImageButton(element);
                                            });

} // namespace

ImageButton::ImageButton(TiXmlElement* element)
    : GridLayout(element, true)
{
    RegisterLoader<ImageButton>(element, this);
}

ImageButton::~ImageButton() = default;

bool ImageButton::LoadFromXML(TiXmlElement* element)
{
    if (loaded_)
        return true;
    SetUnselectable(false);
    // All three faces are built before any is kept, so a failure leaves no half button.
    std::shared_ptr<GuiObject> selected = CreateDefinedChild(*this, element, "Selected");
    std::shared_ptr<GuiObject> unSelected = CreateDefinedChild(*this, element, "UnSelected");
    std::shared_ptr<GuiObject> mouseOver = CreateDefinedChild(*this, element, "MouseOver");
    selected_ = selected;
    unSelected_ = unSelected;
    mouseOver_ = mouseOver;
    for (GuiObject* face : {selected_.get(), unSelected_.get(), mouseOver_.get()})
        AddObjectAtFractions(face, 0.0f, 0.0f, 1.0f, 1.0f);
    loaded_ = true;
    return true;
}

void ImageButton::ShowOnly(GuiObject* face, GuiObject* shown)
{
    if (face->IsVisible() != (face == shown))
        face->SetVisible(face == shown);
}

bool ImageButton::HitTest(int x, int y)
{
    if (!GridLayout::HitTest(x, y))
        return false;
    for (GuiObject* face : {unSelected_.get(), mouseOver_.get(), selected_.get()}) {
        if (face && face->IsVisible())
            return face->HitTest(x, y);
    }
    return false;
}

bool ImageButton::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    if (selected_) {
        GuiObject* shown = IsPressed() ? selected_.get() : IsSelected() ? mouseOver_.get() : unSelected_.get();
        for (GuiObject* face : {selected_.get(), unSelected_.get(), mouseOver_.get()})
            ShowOnly(face, shown);
    }
    return GridLayout::DrawSelf(painter);
}

} // namespace Vabo
