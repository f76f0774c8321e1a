#pragma once
// Second base of every layout container. Turns the construction vocabulary of
// a skin element into objects ("CreateObject", "CreateScreen", "Object") and
// plays the key-frame animations ("Animation") that the skin gives children.
// The owning layout supplies the placement operations below.
#include "framework/core/AnimationKey.h"
#include "platform/Clock.h"
#include "platform/TickRequest.h"

#include <functional>
#include <string>

class TiXmlElement;

namespace Vabo {

class GuiObject;

class XmlObjectHolder {
public:
    // Runs the add-object dialog built from the element with the owner window
    // given; answers whether the user confirmed, and the name entered. The
    // window classes install it; without one the builder command only logs.
    using AddObjectDialogRunner = std::function<bool(GuiObject* owner, TiXmlElement* dialog, std::string& name)>;
    static void SetAddObjectDialogRunner(AddObjectDialogRunner runner);

    XmlObjectHolder();
    virtual ~XmlObjectHolder() = default;
    XmlObjectHolder(const XmlObjectHolder&) = delete;
    XmlObjectHolder& operator=(const XmlObjectHolder&) = delete;

    // The object whose element, loading flag, layout and screen manager the
    // holder works on (the layout itself).
    virtual GuiObject* GetOwner() = 0;

    // Runs every "CreateObject" child of the element (all of them, also after
    // a failure) and re-places the owner's children; false when one failed or
    // the element is null.
    virtual bool CreateObjects(TiXmlElement* element);
    // Registers every "CreateScreen" child with the owner's screen manager.
    virtual bool CreateScreens(TiXmlElement* element);
    // The GUI builder's command: appends a "CreateObject" element for the type
    // element under a name asked for in the add-object dialog.
    virtual void AddObject(TiXmlElement* typeElement);
    // The definition element of the "Object" child with the given name.
    virtual TiXmlElement* FindObjectXml(const std::string& name);
    // Starts a new run from time 0 with every key unfired.
    virtual bool StartAnimation();
    // Applies the keys that are due. With applyOnly the keys' opacity and
    // geometry are applied but they are neither sent nor marked fired, so
    // each key still fires exactly once per run. True when a key was applied.
    virtual bool UpdateAnimation(bool applyOnly);

    // False only when the factory could not create the object.
    bool CreateObject(TiXmlElement* element);
    bool CreateScreen(TiXmlElement* element);
    Animation CreateAnimation(TiXmlElement* element);
    bool CreateAnimationElement(TiXmlElement* element, AnimationKey& key, int previousMs);
    bool IsAnimating();
    // When the next unfired key of the running animation is due (a NowMs
    // reading), or Platform::kNoTick.
    Platform::Milliseconds NextAnimationKeyAt();

    // Placement operations the owning layout provides.
    virtual bool AddObject(GuiObject* object, TiXmlElement* element, const Animation* animation) = 0;
    virtual bool SetObjectRectFromXML(GuiObject* object, TiXmlElement* element) = 0;
    virtual bool ConfigureObjectLayout(GuiObject* object, TiXmlElement* element) = 0;
    virtual int ResetCachedRect() = 0;

protected:
    // The fractions of a child's layout record: x, y, width, height.
    struct Fractions {
        float x, y, width, height;
    };
    using AnimationVisitor = std::function<void(GuiObject* child, Animation& animation, const Fractions& record)>;
    // Visits every laid-out child with its animation and record.
    virtual void VisitAnimations(const AnimationVisitor& visit) = 0;
    // Places a child at pure fractions of the owner, leaving its record alone.
    virtual void ApplyFractions(GuiObject* child, const Fractions& fractions) = 0;

private:
    bool ExistsForCreateObject(const std::string& name, GuiObject*& existing);

    Platform::Milliseconds startTicks_;
    bool running_;
    bool animationAllowed_;
};

} // namespace Vabo
