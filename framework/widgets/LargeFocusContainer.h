#pragma once
// Shows a row or a column of like objects (note buttons, tempo presets) in
// slices of its extent: equal slices, or one focused object in a large slice
// with medium neighbours and the others small. Every change of slices is
// animated in a fixed number of steps, one step per period of the clock.
// Each object sits in an AspectPreservingContainer, centred in its slice.
#include "framework/widgets/AspectPreservingContainer.h"
#include "framework/widgets/GridLayout.h"
#include "platform/Clock.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Vabo {

class LargeFocusContainer : public GridLayout {
public:
    using Wrappers = std::vector<std::shared_ptr<AspectPreservingContainer>>;

    static constexpr int kDefaultAnimationPeriod = 50;
    static constexpr int kDefaultAnimationSteps = 5;
    static constexpr float kDefaultAspectRatio = 1.0f;

    // Reads "AnimationPeriod" (milliseconds), "AnimationSteps",
    // "AspectRatio", "Orientation" ("Vertical", else horizontal) and
    // "ObjectXML"; a missing or unusable one is logged and its default used.
    // "CreateObject" children are built as in any grid layout.
    explicit LargeFocusContainer(TiXmlElement* element);
    ~LargeFocusContainer() override;

    bool LoadFromXML(TiXmlElement* element);

    // The owner feeds the objects it built one by one, index 0 to count - 1;
    // the last one puts them all in equal slices at once.
    using GridLayout::AddObject;
    void AddObject(std::shared_ptr<GuiObject> object, int index, int count);
    // Shows these wrappers, in equal slices at once, in place of the others.
    void SetObjects(const Wrappers& wrappers);
    // Takes the objects out before the owner feeds a new set; the children
    // the skin gave the container stay.
    void RemoveAllObjects();

    // Animate to equal slices, or to slices around the object; an object
    // that is not one of the container's changes nothing.
    void ArrangeEqually();
    void SetFocusObject(GuiObject* object);

    // While set (as it is at first), an object that becomes selected is
    // focused.
    void SetFocusOnSelect(bool focusOnSelect) { focusOnSelect_ = focusOnSelect; }
    bool GetFocusOnSelect() const { return focusOnSelect_; }
    void FocusOnSelectSlot(Signal::Base* signal, GuiObject* object);
    // Whether one of the objects other than this one is selected (under the
    // pointer, or ringed by the keyboard).
    bool HasSelectedObjectBesides(const GuiObject* object) const;
    // One step of every pending animation once the period has passed.
    void AnimationTickSlot(Signal::Base* signal, GuiObject* object);

    const Wrappers& GetWrappers() const { return wrappers_; }
    // The definition the owner builds each object from.
    const std::string& GetObjectXml() const { return objectXml_; }
    int GetAnimationPeriod() const { return animationPeriod_; }
    int GetAnimationSteps() const { return animationSteps_; }
    float GetAspectRatio() const { return aspectRatio_; }
    bool IsVertical() const { return vertical_; }

private:
    LayoutObject MakeSliceRecord(AspectPreservingContainer* wrapper, float start, float size) const;
    // Queues the steps that take the wrapper at the position to the target;
    // without steps it goes there at once.
    void AnimateTo(std::size_t position, const LayoutObject& target);
    void Apply(std::size_t position, const LayoutObject& record);
    void ReportDefault(TiXmlElement* element, const char* attribute, const std::string& value) const;

    Wrappers wrappers_;
    bool focusOnSelect_ = true;
    std::map<GuiObject*, std::size_t> positions_;
    Platform::Milliseconds lastTick_;
    int animationPeriod_ = kDefaultAnimationPeriod;
    int animationSteps_ = kDefaultAnimationSteps;
    float aspectRatio_ = kDefaultAspectRatio;
    // The pending steps of the wrapper at each position.
    std::vector<std::deque<LayoutObject>> queues_;
    std::string objectXml_;
    bool vertical_ = false;
    // Collected by AddObject until the last object of a set arrives.
    Wrappers pending_;
    // The object the slices were last arranged around (none after equal
    // slices or a new set) and the size then: focused again at that size, it
    // stays as it is. The slices never come back exactly to a target in
    // fractions, so arranging again would start the animation over.
    GuiObject* arrangedAround_ = nullptr;
    int arrangedWidth_ = -1;
    int arrangedHeight_ = -1;
};

} // namespace Vabo
