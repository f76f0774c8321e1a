#pragma once
// Base class of every visible object: the object tree, geometry, visibility,
// selection and press state, keyboard navigation, tooltip, opacity, drawing order,
// signal delivery through the tree and the per-object connection map of slots.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/core/ClassXMLName.h"
#include "framework/core/ConnectResult.h"
#include "framework/drawing/Geometry.h"
#include "framework/core/InputSignals.h"
#include "framework/core/LifeToken.h"
#include "framework/core/Signal.h"
#include "framework/core/SlotList.h"
#include "framework/core/XMLLoadSave.h"

class TiXmlElement;

namespace GdiplusGfxLayer {
class Painter;
}

namespace Vabo {

class ScreenManagerInterface;

namespace Signal {
class SelectObject;
class SelectNextObject;
} // namespace Signal

class GuiObject : public XMLLoadSave {
public:
    // One place in the keyboard-navigation grid of a container.
    struct TabEntry {
        int tabX;
        int tabY;
        GuiObject* object;
        std::weak_ptr<void> watch;
    };

    using Loader = std::function<bool(TiXmlElement*)>;

    GuiObject(int unselectable, int fixedSize);
    GuiObject(TiXmlElement* element, int unselectable, int fixedSize);
    GuiObject(const GuiObject&) = delete;
    GuiObject& operator=(const GuiObject&) = delete;
    // Detaches the object from its parent and its children and drops every slot bound
    // to it from the connection maps of other objects.
    virtual ~GuiObject();

    // Signal collection.
    virtual bool PassesSignalToChildren(Signal::Base* signal);
    virtual bool AcceptsSignal(Signal::Base* signal);

    virtual void AddWindowOffsetX(int& x);
    virtual void AddWindowOffsetY(int& y);

    virtual const std::string& GetName() const;
    virtual void SetName(const std::string& name);
    virtual int GetId() const;

    // Tree.
    virtual bool AddChild(GuiObject* child, bool update);
    virtual bool AddTabObjectFromXML(GuiObject* object, TiXmlElement* element);
    virtual bool AddTabObject(GuiObject* object, int tabX, int tabY);
    virtual void ClearChildren();
    virtual bool RemoveChild(GuiObject* child, bool update);

    // Geometry; positions are in the parent's frame.
    virtual int GetX() const;
    virtual int GetY() const;
    virtual void SetX(int x);
    virtual void SetY(int y);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual void SetWidth(int width);
    virtual void SetHeight(int height);
    virtual Rect GetRect() const;
    virtual int GetRight() const;
    virtual int GetBottom() const;
    virtual int GetWindowX() const;
    virtual int GetWindowY() const;
    virtual Rect GetBounds() const;
    virtual int GetContentWidth() const;
    virtual int GetContentHeight() const;
    virtual int GetMaxChildWidth() const;
    virtual int GetMaxChildHeight() const;
    virtual void CalculateSize();
    virtual bool SetPosition(int x, int y);
    // A tool tip window takes its place beside the object it describes, at
    // the pointer, leaving the other controls uncovered where it can (all in
    // the window's frame): by default just above the object.
    virtual bool PlaceBeside(const Rect& object, const Point& pointer, const std::vector<Rect>& keepClear);
    // The shown controls and captions of this object's window other than this
    // object, its holders and its parts (window frame): what its tip should
    // not cover.
    std::vector<Rect> ControlsAround();
    // A label the user reads (a caption, a reading): tips keep clear of it.
    virtual bool IsCaption() const { return false; }
    virtual bool SetSize(int width, int height);
    virtual void ForceSize(int width, int height);
    virtual bool HitTest(int x, int y);
    virtual void UpdateLayout();
    virtual void Invalidate();

    // State.
    virtual bool IsSelected() const;
    virtual bool IsPressed() const;
    virtual void SetPressed(bool pressed);
    virtual bool IsChildPressed() const;
    virtual bool ClickRequiresPress() const;
    virtual void SetForceSelected(bool forceSelected);
    virtual int IsUnselectable() const;
    virtual void SetUnselectable(int unselectable);
    virtual int GetFixedSize() const;
    virtual void SetFixedSize(int fixedSize);
    virtual void SetVisible(bool visible);
    virtual bool IsVisible() const;
    virtual bool IsVisibleInTree() const;
    virtual bool IsChildInView(GuiObject* child);
    virtual bool IsWindowActive() const;
    virtual bool IsTopLevel() const;

    // Selection and navigation.
    virtual bool SetSelectedBySignal(Signal::SelectObject* signal, bool select);
    virtual bool SetSelected(bool select);
    virtual void Select();
    // Select with the selecting point given (in the window frame) instead of
    // the object's top-left corner.
    void SelectAt(int x, int y);
    virtual bool Deselect();
    virtual void ClearSelection();
    virtual bool HasSelectedChild() const;
    virtual void TabSelect();
    virtual bool CanTabFrom(int direction);

    // Drawing. DrawSelf draws the object's own appearance in its parent's frame.
    virtual bool DrawSelf(GdiplusGfxLayer::Painter& painter);
    virtual bool Render(GdiplusGfxLayer::Painter& painter);
    virtual bool ShowToolTip(bool show, const Point* point);

    // Built-in handlers, run before the connected slots of their signal types.
    virtual void OnSelectObject(Signal::Base* signal, GuiObject* object);
    virtual void OnLeftButtonUp(Signal::Base* signal, GuiObject* object);
    virtual void OnLeftButtonDown(Signal::Base* signal, GuiObject* object);
    virtual void OnSelectNextObject(Signal::Base* signal, GuiObject* object);
    virtual void OnWindowActivated(Signal::Base* signal, GuiObject* object);
    virtual void SlotHide(Signal::Base* signal, GuiObject* object);
    virtual void SlotShow(Signal::Base* signal, GuiObject* object);
    // Sends the object an Activate, as a click on it would: a skin presses a
    // control from another control's signal (Enter in an edit box presses OK).
    void SlotActivate(Signal::Base* signal, GuiObject* object);
    virtual void OnShowToolTip(Signal::Base* signal, GuiObject* object);
    virtual void OnConnectXMLSlots(Signal::Base* signal, GuiObject* object);

    virtual void CollectReceivers(Signal::Base* signal, bool recurse);

    // Tree access. The XML child scan stays reachable beside the object's children.
    using XMLLoadSave::GetChildren;
    GuiObject* GetParent() const { return parent_; }
    // Leaves the parent (through its RemoveChild, so containers update their records).
    void RemoveFromParent();
    const std::vector<GuiObject*>& GetChildren() const { return children_; }
    // Moves on whenever any tree gains or loses an object or any object gains a
    // slot list: the receivers a broadcast collects stay the same until then.
    static std::uint64_t ReceiverGeneration() { return receiverGeneration_; }
    void SetParent(GuiObject* parent);
    GuiObject* GetTopObject();
    GuiObject* GetRootObject();
    ScreenManagerInterface* GetScreenManager();
    // Whether the top object has a screen manager (GetScreenManager would not throw).
    bool HasScreenManager();
    void SetScreenManager(ScreenManagerInterface* screenManager);
    TiXmlElement* GetXmlElement() const { return element_; }
    void SetTopLevel(bool topLevel) { topLevel_ = topLevel; }

    Rect GetRectInParent() const;
    Rect GetRectInTopLevel() const;
    void WindowToLocal(Point& point) const;
    // Largest right (x + width) and bottom (y + height) edge over the object and all its
    // descendants, each taken in its own parent's frame.
    int GetSubtreeMaxRight() const;
    int GetSubtreeMaxBottom() const;

    bool FindSelectedChild(std::vector<GuiObject*>::iterator& it);
    bool IsFirstChild(std::vector<GuiObject*>::iterator it);
    bool IsNotChildEnd(std::vector<GuiObject*>::iterator it);
    GuiObject* FindTabObjectAt(int tabX, int tabY);
    bool HasVisibleTabObject() const;
    // Whether keyboard navigation can stop at the object: it is shown, and it
    // or something inside it can be selected.
    bool CanTakeSelection() const;
    // Where navigation in the direction enters this object: the first stop of
    // its tab list in reading order (going back, the last), inside that one's
    // own list in turn; the object itself when it has no stop.
    GuiObject* EntryStop(int direction);
    const std::vector<TabEntry>& GetTabList() const { return tabList_; }

    // Flags that widgets set after construction.
    bool IsSizedFromContent() const { return sizedFromContent_; }
    void SetSizedFromContent(bool value) { sizedFromContent_ = value; }
    void SetKeepSelectionOnDeactivation(bool value) { keepSelectionOnDeactivation_ = value; }
    void SetFocusOnClick(bool value) { focusOnClick_ = value; }
    bool TakesFocusOnClick() const { return focusOnClick_; }
    void SetDrawSelfAfterChildren(bool value) { drawSelfAfterChildren_ = value; }
    float GetAlpha() const { return alpha_; }
    void SetAlpha(float alpha) { alpha_ = alpha; }
    Point GetPressPoint() const { return pressPoint_; }
    const std::string& GetToolTipText() const { return toolTipText_; }
    void SetToolTipText(const std::string& text);
    // The tooltip built on its first show; null before.
    GuiObject* GetToolTipWindow() const { return toolTipWindow_.get(); }

    // Loading from XML: every class built from XML adds its loader in its constructor
    // (RegisterLoader); ReloadXml runs them all again, base class first.
    bool LoadFromXML(TiXmlElement* element);
    void AddLoader(Loader loader);
    // Adds the loader and runs it at once on the element (nothing without an element);
    // a loader that fails throws XMLLoadSaveException.
    void AddLoaderAndRun(TiXmlElement* element, Loader loader);
    template <class T> void RegisterLoader(TiXmlElement* element, T* object)
    {
        if (element == nullptr || object == nullptr)
            return;
        object->SetTypeName(::ClassXMLName<T>());
        AddLoaderAndRun(element, [object](TiXmlElement* e) { return object->T::LoadFromXML(e); });
    }
    void ReloadXml(bool recursive);

    // Sending signals.
    void Raise(Signal::Base* signal);
    void SendToSelf(Signal::Base* signal, GuiObject* object = nullptr);
    void Deliver(Signal::Base* signal, GuiObject* object);
    void DeliverPositional(Signal::Base* signal, GuiObject* object);
    void DispatchBuiltIn(Signal::Base* signal, GuiObject* object);
    // Runs this object's slots for the signal's type: those for any source, then those
    // for the given source. Used for signals that go only to an object's own connections.
    void InvokeSlots(Signal::Base* signal, GuiObject* object, GuiObject* source);

    // Connections. AddSlot binds a member function of a GuiObject; the connection ends
    // by itself when that object is destroyed.
    template <class SignalClass, class C, class Arg, class T>
    Connection AddSlot(void (C::*member)(Arg*, GuiObject*), T* object, GuiObject* source = nullptr)
    {
        return Connect(Signal::TypeIdOf<SignalClass>(), source, Bind<SignalClass>(member, object), object->Watch());
    }
    // Connects a callable for signals of a type from a source (null: any source). The
    // connection ends when the watched object dies. A listener of the clock's tick
    // connected so gets the steady tick (Signal::Timer).
    Connection Connect(int typeId, GuiObject* source, SlotFunction slot, const std::weak_ptr<void>& watch);
    // A listener of the clock's tick that says itself when it is next due
    // (Signal::Timer): the clock may sleep until then.
    template <class C, class Arg, class T>
    Connection AddScheduledTickSlot(void (C::*member)(Arg*, GuiObject*), T* object)
    {
        return ConnectScheduledTick(Bind<Signal::Timer>(member, object), object->Watch());
    }
    Connection ConnectScheduledTick(SlotFunction slot, const std::weak_ptr<void>& watch);
    bool HasConnections(int typeId) const;
    // Disconnects a connection of the type and, when no slot of the type is left
    // on this object, takes the type out of its connection map: broadcasts of it
    // stop collecting the object. For slots that are wanted only for a while.
    void Disconnect(Connection& connection, int typeId);

    ConnectResult ConnectElement(TiXmlElement* element);
    ConnectResult ConnectSlot(const std::string& signalName, const std::string& slotName, GuiObject* slotObject);
    ConnectResult ConnectScreenSlot(const std::string& signalName, const std::string& screenName, bool addToBackStack);

    // Expires when this object is destroyed, or retired.
    std::weak_ptr<void> Watch() const { return life_.Watch(); }
    // For an object released while a signal is being delivered: to everyone
    // watching it, it is gone (its slots no longer run, handlers stop at it),
    // while its memory lives on until the delivery has ended.
    void Retire() { life_.Expire(); }

protected:
    // Puts the object at a place of the tab list without moving the selection
    // (as AddTabObject may), or takes every place of it out: for containers
    // that fill their lists themselves, again whenever their contents change.
    void PlaceInTabList(GuiObject* object, int tabX, int tabY);
    void RemoveTabObject(GuiObject* object);
    // For objects whose activation handler keeps nothing but the flag.
    void SetWindowActive(bool active) { windowActive_ = active; }
    // For objects whose base was built without their element (windows keep it
    // once their own loader runs).
    void SetXmlElement(TiXmlElement* element) { element_ = element; }

private:
    using SourceMap = std::map<int, std::shared_ptr<SlotList>>;

    bool SelectAndNotify(Signal::SelectObject* signal);
    void MoveSelection(Signal::SelectNextObject* signal, GuiObject* target);
    const TabEntry* FindTabEntry(int x, int y, GuiObject* skip);
    // The next place from (tabX, tabY) in the direction that can take the
    // selection; null at the edge of the list.
    GuiObject* NextTabStop(int tabX, int tabY, GuiObject* origin, int direction);
    void PruneTabList();
    void Detach();
    void ForgetDependent(GuiObject* object);
    int OwnX() const { return topLevel_ ? 0 : GetX(); }
    int OwnY() const { return topLevel_ ? 0 : GetY(); }
    // Whether this object's rectangle, or that of a shown object below it,
    // moved by (dx, dy) into the painter's present origin, meets its clip.
    bool SubtreeMeets(const GdiplusGfxLayer::Painter& painter, int dx, int dy) const;
    void SubtreeMaxRight(int& right) const;
    void SubtreeMaxBottom(int& bottom) const;
    void DeliverTo(const Signal::_Base::Receiver& receiver, Signal::Base* signal, GuiObject* object);
    std::shared_ptr<SlotList> FindSlotList(int typeId, int sourceId) const;
    template <class SignalClass, class C, class Arg, class T>
    static SlotFunction Bind(void (C::*member)(Arg*, GuiObject*), T* object)
    {
        static_assert(std::is_base_of<GuiObject, T>::value, "slots are bound to GuiObjects");
        static_assert(std::is_convertible<SignalClass*, Arg*>::value, "slot takes another signal");
        static_assert(std::is_base_of<C, T>::value, "member of another class");
        C* target = object;
        return [member, target](Signal::Base* signal, GuiObject* handler) {
            (target->*member)(static_cast<SignalClass*>(signal), handler);
        };
    }
    Connection ConnectToList(int typeId, GuiObject* source, SlotFunction slot, const std::weak_ptr<void>& watch);
    void RunLoader(const Loader& loader, TiXmlElement* element);
    std::shared_ptr<GuiObject> BuildToolTipWindow();

    static std::uint64_t receiverGeneration_;

    LifeToken life_;
    bool topLevel_ = false;
    bool sizedFromContent_ = false;
    std::map<int, SourceMap> connections_;
    std::vector<GuiObject*> children_;
    // Every object whose parent pointer points here: the children and the top-level
    // objects added as children. Their parent pointers are cleared when this one dies.
    std::vector<GuiObject*> dependents_;
    int x_ = 0;
    int y_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool selected_ = false;
    bool forceSelected_ = false;
    bool dispatching_ = false;
    bool pressed_ = false;
    Point pressPoint_;
    bool windowActive_ = false;
    int fixedSize_;
    int unselectable_;
    bool visible_ = true;
    std::string name_;
    GuiObject* parent_ = nullptr;
    int id_;
    std::vector<TabEntry> tabList_;
    std::size_t prunedTabListSize_ = 0;
    TiXmlElement* element_ = nullptr;
    float alpha_ = 1.0f;
    ScreenManagerInterface* screenManager_ = nullptr;
    std::weak_ptr<void> screenManagerWatch_;
    std::shared_ptr<GuiObject> toolTipWindow_;
    // The main window's size the tool tip was built at: its text follows it.
    int toolTipBuiltWidth_ = 0;
    int toolTipBuiltHeight_ = 0;
    std::string toolTipText_;
    std::vector<Loader> loaders_;
    bool keepSelectionOnDeactivation_ = false;
    bool focusOnClick_ = false;
    bool drawSelfAfterChildren_ = false;
    // How many of its "Connect" elements this object has connected; kept per object
    // because several objects may be built from one element.
    std::size_t connectedElements_ = 0;
};

} // namespace Vabo
