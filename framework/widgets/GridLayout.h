#pragma once
// The grid container on which windows, screens and most composite widgets
// stand: it places each child by a record of four pixels-plus-fraction
// lengths and re-places them whenever its own bounds change.
#include "framework/widgets/LayoutBase.h"

#include <memory>
#include <string>

namespace Vabo {

class GridLayout : public LayoutBase {
public:
    // What the GUI builder sends a layout after the user moved or resized one
    // of its children: the layout writes the new place into the child's
    // record and skin element, keeping the pixel parts or the fractions.
    class ObjectEditedSignal : public Signal::Base {
    public:
        explicit ObjectEditedSignal(GuiObject* object = nullptr, bool keepUnits = false)
            : Base(Signal::TypeIdOf<ObjectEditedSignal>(), false)
            , object(object)
            , keepUnits(keepUnits)
        {
        }
        std::string Name() const override { return "ObjectEdited"; }

        GuiObject* object;
        bool keepUnits;
    };

    // Built from a skin element; with constructFromXml its "CreateObject"
    // children are built and placed before the constructor returns.
    GridLayout(TiXmlElement* element, bool constructFromXml);
    // Built in code: no element, no slots, no animation.
    GridLayout();
    ~GridLayout() override;

    // With the construct-from-XML flag, builds the element's "CreateObject"
    // children; false when one of them could not be built.
    bool LoadFromXML(TiXmlElement* element);

    using LayoutBase::AddObject;
    bool AddObject(GuiObject* object, TiXmlElement* element, const Animation* animation) override;
    bool SetObjectRectFromXML(GuiObject* object, TiXmlElement* element) override;
    bool ConfigureObjectLayout(GuiObject* object, TiXmlElement* element) override;
    int ResetCachedRect() override;
    LayoutRecords& GetLayoutRecords() override { return records_; }
    void ResolveObjectRect(GuiObject* object, const GridVal& x, const GridVal& y, const GridVal& width,
                           const GridVal& height) override;
    void ApplyGridVals(GuiObject* object, const GridVal& x, const GridVal& y, const GridVal& width,
                       const GridVal& height) override;

    virtual bool AddObjectAt(GuiObject* object, const GridVal& x, const GridVal& y, const GridVal& width,
                             const GridVal& height, TiXmlElement* element = nullptr,
                             const Animation* animation = nullptr);
    // The same with pure fractions: (0, 0, 1, 1) fills the layout.
    virtual bool AddObjectAtFractions(GuiObject* object, float x, float y, float width, float height,
                                      TiXmlElement* element = nullptr, const Animation* animation = nullptr);
    // Places an object built in code where the layout's "Object" element of
    // that name declares it; false when no such element exists.
    virtual bool AddDeclaredObject(GuiObject* object, const std::string& name);
    virtual bool AddLayoutRecord(GuiObject* object, const std::shared_ptr<LayoutObject>& record);
    // Named slot "Vabo::GridLayout::SlotRestartAnimation": replays the
    // children's animations from the start.
    virtual void SlotRestartAnimation(Signal::Base* signal, GuiObject* object);
    bool StartAnimation() override;

    // Re-places a child by new lengths; with writeBack they are also written
    // into the child's skin element. False when the child has no record.
    bool PlaceObject(GuiObject* object, const GridVal& x, const GridVal& y, const GridVal& width, const GridVal& height,
                     bool writeBack);
    bool GetLayoutObject(GuiObject* object, LayoutObject& record) const;
    // Writes the child's current rectangle back into its record, keeping
    // either the pixel parts or the fractions.
    void StoreObjectRect(GuiObject* object, LayoutObject& record, bool keepUnits);
    GuiObject* FindContentSizedChild();

    void ClearChildren() override;
    bool RemoveChild(GuiObject* child, bool update) override;
    void CalculateSize() override;
    void UpdateLayout() override;

private:
    void ObjectEditedSlot(ObjectEditedSignal* signal, GuiObject* object);
    void AnimationTimerSlot(Signal::Base* signal, GuiObject* object);
    void EmptySlot(Signal::Base* signal, GuiObject* object);

    LayoutRecords records_;
    // The bounds seen by the last layout pass; all -1 until the first.
    Rect cachedRect_{-1, -1, -1, -1};
    bool constructFromXml_ = false;
    // The clock's tick is listened to only while an animation runs: most
    // layouts have none, and a layout at rest costs the tick nothing.
    Connection animationTick_;
    // Made from a skin element: only such a layout plays animations.
    bool animatable_ = false;
};

} // namespace Vabo
