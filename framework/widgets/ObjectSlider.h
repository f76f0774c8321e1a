// An integer slider drawn by its children: one skin object per step, all
// covering the slider, of which only the one for the present value shows. A
// drag along the slider sets the value; every change of value is sent to the
// slider's own connections as Signal::ObjectSliderSignal.
#pragma once

#include <memory>
#include <vector>

#include "framework/drawing/Geometry.h"
#include "framework/widgets/GridLayout.h"

namespace Vabo {

class ObjectSlider : public GridLayout {
public:
    // Refuses (XMLLoadSaveException, with a message naming the slider) a skin
    // without parts, with a part that cannot be built, or with "Min" above "Max".
    explicit ObjectSlider(TiXmlElement* element);
    ~ObjectSlider() override;

    virtual void OnMouseDown(Signal::Base* signal, GuiObject* object);
    virtual void OnMouseUp(Signal::Base* signal, GuiObject* object);
    virtual void OnMouseMove(Signal::Base* signal, GuiObject* object);
    // Up and Down move a selected slider a twentieth of its range.
    void OnSelectNextObject(Signal::Base* signal, GuiObject* object) override;

    // Clamps the value to [min, max], shows its part, tells the connections
    // (also when the value stays) and repaints.
    void SetValue(int value);
    // The value a point (window coordinates) on the slider stands for.
    int PositionToValue(const Point& point) const;

    int GetValue() const { return value_; }
    int GetMin() const { return min_; }
    int GetMax() const { return max_; }
    bool IsHorizontal() const { return horizontal_ == 1; }
    bool IsReadOnly() const { return readOnly_; }
    const std::vector<std::shared_ptr<GuiObject>>& GetParts() const { return parts_; }
    GuiObject* GetCurrentPart() const { return currentPart_.get(); }

    bool LoadFromXML(TiXmlElement* element);

private:
    [[noreturn]] void Refuse(TiXmlElement* element, const std::string& why);
    std::size_t PartIndex() const;

    std::vector<std::shared_ptr<GuiObject>> parts_;
    std::shared_ptr<GuiObject> currentPart_;
    bool loaded_ = false;
    int value_ = 0;
    int min_ = 0;
    int max_ = 0;
    int range_ = 0;
    int horizontal_ = 1;
    bool dragging_ = false;
    bool readOnly_ = false;
};

} // namespace Vabo
