#include "framework/host/ScreenManager.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/GuiObject.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/RoundToInt.h"
#include "framework/core/XmlDocument.h"
#include "framework/host/WindowSurface.h"
#include "framework/core/HostInputSignals.h"
#include "framework/core/RenderLock.h"
#include "framework/core/ScreenCollector.h"
#include "platform/Display.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"

namespace Vabo {
namespace {

using RenderLockGuard = std::lock_guard<std::recursive_mutex>;

// The key bindings of every window, in the order they were made.
std::vector<std::pair<std::uint32_t, std::shared_ptr<Signal::Base>>>& GlobalKeyHandlers()
{
    static std::vector<std::pair<std::uint32_t, std::shared_ptr<Signal::Base>>> handlers;
    return handlers;
}

// The element named `name`: the root itself, else the nearest one below it
// (level by level, so a screen's own children do not shadow another screen).
TiXmlElement* FindNamedElement(TiXmlElement* root, const std::string& name)
{
    std::vector<TiXmlElement*> level{root};
    while (!level.empty()) {
        std::vector<TiXmlElement*> next;
        for (TiXmlElement* element : level) {
            const char* own = element->Attribute("Name");
            if (own && name == own)
                return element;
            for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
                next.push_back(child);
        }
        level = std::move(next);
    }
    return nullptr;
}

} // namespace

ScreenManager::ScreenManager()
    : startClock_(Platform::NowMs())
{
    DllScreenCollectorInstance().Add(this);
}

ScreenManager::~ScreenManager()
{
    try {
        DllScreenCollectorInstance().Remove(this);
    } catch (const std::logic_error&) {
        // The collector died at exit before this window: nothing to remove from.
    }
}

GuiObject* ScreenManager::RootOf(const ScreenEntry& entry) const
{
    return entry.root && !entry.rootWatch.expired() ? entry.root : nullptr;
}

bool ScreenManager::GetActiveScreenName(std::string& name) const
{
    if (!active_)
        return false;
    name = active_->name;
    return true;
}

GuiObject* ScreenManager::GetActiveRoot() const
{
    return active_ ? RootOf(*active_) : GetBaseRoot();
}

void ScreenManager::SetBaseRoot(GuiObject* root)
{
    baseRoot_ = root;
    baseRootWatch_ = root ? root->Watch() : std::weak_ptr<void>();
}

GuiObject* ScreenManager::GetBaseRoot() const
{
    return baseRoot_ && !baseRootWatch_.expired() ? baseRoot_ : nullptr;
}

void ScreenManager::ClearBaseRoot()
{
    SetBaseRoot(nullptr);
}

GuiObject* ScreenManager::GetFocusObject() const
{
    return focusObject_ && !focusWatch_.expired() ? focusObject_ : nullptr;
}

bool ScreenManager::IsFocusObject(const GuiObject* object) const
{
    return object && object == GetFocusObject();
}

bool ScreenManager::InvalidateAll()
{
    dirty_ = true;
    fullRedraw_ = true;
    return true;
}

void ScreenManager::SetWindowSize(int width, int height)
{
    windowWidth_ = width;
    windowHeight_ = height;
}

void ScreenManager::AddKeyBinding(const Signal::KeyPress& pattern, std::shared_ptr<Signal::Base> signal)
{
    auto& handlers = GlobalKeyHandlers();
    for (const auto& handler : handlers)
        if (handler.first == pattern.code)
            return;
    handlers.emplace_back(pattern.code, std::move(signal));
}

const ScreenManager::ScreenEntry* ScreenManager::FindScreen(const std::string& name) const
{
    auto it = screens_.find(name);
    return it == screens_.end() ? nullptr : &it->second;
}

void ScreenManager::AddScreen(const std::string& screenName, bool destroyOnDeactivate, const std::string& objectName,
                              const std::string& fileName)
{
    ScreenEntry entry;
    entry.name = screenName;
    entry.DestroyOnDeactivate = destroyOnDeactivate;
    auto it = screens_.find(screenName);
    if (it == screens_.end())
        screens_.emplace(screenName, entry);
    else if (&it->second == active_) {
        // The active screen keeps its tree until it is left; only its
        // registration changes.
        it->second.DestroyOnDeactivate = destroyOnDeactivate;
    } else {
        // A tree built from the old registration goes on the next tick.
        if (GuiObject* old = RootOf(it->second)) {
            replacedRoots_.push_back(ReplacedRoot{it->second.owner, old, it->second.rootWatch});
            Platform::RequestNextTick();
        }
        it->second = entry;
    }
    registrations_[screenName] = std::make_pair(objectName, fileName);
}

GuiObject* ScreenManager::Target() const
{
    return GetActiveRoot();
}

bool ScreenManager::HasVisibleTarget() const
{
    GuiObject* target = Target();
    return target && target->IsVisible();
}

void ScreenManager::Send(GuiObject* object, Signal::Base& signal, bool skipDelivery)
{
    // The tick goes to the same listeners time after time: they are collected
    // again only when a tree or its connections changed.
    if (!skipDelivery && signal.Is<Signal::Timer>() && object == Target()) {
        tickReceivers_.Send(*object, signal);
        return;
    }
    if (!skipDelivery) {
        signal.ClearReceivers();
        object->CollectReceivers(&signal, true);
        object->Deliver(&signal, nullptr);
    }
    if (!signal.Is<Signal::KeyPress>())
        return;
    const std::uint32_t code = static_cast<Signal::KeyPress&>(signal).code;
    std::weak_ptr<void> watch = object->Watch();
    // A copy: a bound signal's slot may add bindings.
    const auto handlers = GlobalKeyHandlers();
    for (const auto& handler : handlers) {
        if (handler.first != code || watch.expired())
            continue;
        handler.second->ClearReceivers();
        handler.second->SetSource(nullptr);
        object->CollectReceivers(handler.second.get(), true);
        object->Deliver(handler.second.get(), nullptr);
    }
}

bool ScreenManager::InputHeldBack()
{
    return DllGlobalObjectFactoryInstance().IsGuiBuilderMode();
}

void ScreenManager::Broadcast(Signal::Base& signal, bool allScreens)
{
    if (InputHeldBack())
        return;
    signal.SetSource(nullptr);
    if (!active_ || allScreens) {
        if (GuiObject* base = GetBaseRoot())
            Send(base, signal, false);
    }
    if (allScreens) {
        std::vector<std::weak_ptr<void>> roots;
        std::vector<GuiObject*> objects;
        for (const auto& entry : screens_)
            if (GuiObject* root = RootOf(entry.second)) {
                objects.push_back(root);
                roots.push_back(root->Watch());
            }
        for (std::size_t i = 0; i < objects.size(); ++i)
            if (!roots[i].expired())
                Send(objects[i], signal, false);
        return;
    }
    if (active_) {
        if (GuiObject* root = RootOf(*active_))
            Send(root, signal, false);
    }
    signal.ClearReceivers();
    if (signal.Is<Signal::Timer>()) {
        const auto overlays = overlays_;
        for (const auto& overlay : overlays)
            if (!overlay.second.expired())
                Send(overlay.first, signal, false);
    }
}

void ScreenManager::ActivateScreen(const std::string& name, bool push)
{
    if (active_ && active_->name == name)
        return;
    Signal::ScreenActivation activation(false);
    if (push)
        backStack_.push_back(name);

    if (GuiObject* outgoing = GetActiveRoot()) {
        activation.ClearReceivers();
        outgoing->CollectReceivers(&activation, true);
        outgoing->Deliver(&activation, nullptr);
    }
    if (active_ && active_->DestroyOnDeactivate) {
        // Its tree goes on the next tick.
        active_->closed = true;
        active_ = nullptr;
    }

    activation.ClearReceivers();
    activation.activated = true;
    if (name.empty()) {
        active_ = nullptr;
        if (GuiObject* base = GetBaseRoot()) {
            base->CollectReceivers(&activation, true);
            base->Deliver(&activation, nullptr);
        }
    } else {
        auto it = screens_.find(name);
        active_ = it == screens_.end() ? nullptr : &it->second;
        if (active_) {
            // Back before the tick that would have destroyed it: the screen
            // is in use again, so it keeps its tree.
            active_->closed = false;
            if (!RootOf(*active_))
                CreateScreenRoot(name);
            if (GuiObject* root = RootOf(*active_)) {
                // A kept screen missed the window's sizes while another was shown.
                if (root->GetWidth() != windowWidth_ || root->GetHeight() != windowHeight_) {
                    root->SetSize(windowWidth_, windowHeight_);
                    root->UpdateLayout();
                }
                Signal::WindowActivated activated(false);
                root->Raise(&activated);
                if (active_ && RootOf(*active_) == root) {
                    root->CollectReceivers(&activation, true);
                    root->Deliver(&activation, nullptr);
                }
            }
        }
    }

    // Shown again, the window's own content takes the size it missed under
    // a screen.
    if (!active_ && std::exchange(baseMissedSize_, false) && GetBaseRoot()) {
        Signal::WindowSized sized(windowWidth_, windowHeight_);
        Broadcast(sized, false);
    }

    if (HasVisibleTarget())
        Target()->Invalidate();
    fullRedraw_ = true;
    dirty_ = true;
    dirtyRegion_.MakeEmpty();
    // A screen built earlier has listeners of the clock that asked for
    // nothing while it was hidden, and a change made inside a tick asks for
    // no frame by itself: the next tick serves the screen now shown.
    Platform::RequestNextTick();
}

void ScreenManager::CreateScreenRoot(const std::string& name)
{
    auto registration = registrations_.find(name);
    if (registration == registrations_.end())
        return;
    const std::string objectName = registration->second.first;
    const std::string fileName = registration->second.second;
    // The documents the tree is built from die with its root, so a screen
    // built anew on every visit leaves none behind.
    XMLLoadSave documents;
    TiXmlElement* document = documents.LoadOwnXML(fileName);
    if (!document) {
        Platform::Log("ScreenManager: screen \"" + name + "\" has no document " + fileName);
        return;
    }
    XmlDocument::SetScreenManager(document->GetDocument(), this);
    TiXmlElement* element = FindNamedElement(document, objectName);
    if (!element) {
        Platform::Log("ScreenManager: screen \"" + name + "\" finds no object \"" + objectName + "\" in " + fileName);
        return;
    }
    element = documents.ResolveBaseXML(element);
    GuiObject* owner = GetBaseRoot();
    // An object the base window built under the same name is not this
    // screen's root: it keeps its name and its life.
    GuiObject* root = DllGlobalObjectFactoryInstance().CreateBeside(element->ValueStr(), objectName, owner, element);
    if (!root) {
        Platform::Log("ScreenManager: screen \"" + name + "\" could not be built from " + fileName);
        return;
    }
    root->TakeDocuments(documents);
    std::weak_ptr<void> watch = root->Watch();
    root->SetScreenManager(this);
    root->SetSize(windowWidth_, windowHeight_);
    root->UpdateLayout();
    Signal::ConnectXMLSlots connect;
    root->Raise(&connect);
    if (watch.expired())
        return;
    Signal::ObjectReady ready;
    root->Raise(&ready);
    if (watch.expired())
        return;
    auto entry = screens_.find(name);
    if (entry == screens_.end())
        return;
    entry->second.root = root;
    entry->second.rootWatch = watch;
    entry->second.owner = owner;
}

void ScreenManager::ScreenBack()
{
    if (backStack_.size() <= 1)
        return;
    backStack_.pop_back();
    const std::string name = backStack_.back();
    ActivateScreen(name, false);
}

void ScreenManager::ResetBackStack()
{
    if (backStack_.empty())
        return;
    backStack_.erase(backStack_.begin(), backStack_.end() - 1);
}

void ScreenManager::SetFocusObject(GuiObject* object)
{
    GuiObject* previous = GetFocusObject();
    if (object == previous)
        return;
    focusObject_ = object;
    focusWatch_ = object ? object->Watch() : std::weak_ptr<void>();
    if (previous) {
        Signal::FocusChange lost(true);
        previous->SendToSelf(&lost);
    }
    if (GuiObject* now = GetFocusObject()) {
        Signal::FocusChange gained(false);
        now->SendToSelf(&gained);
    }
}

void ScreenManager::ReturnKeyboardFocus()
{
    if (focusReturner_)
        focusReturner_();
}

void ScreenManager::AddOverlay(GuiObject* overlay)
{
    if (!overlay)
        return;
    for (const auto& entry : overlays_)
        if (entry.first == overlay)
            return;
    overlays_.emplace_back(overlay, overlay->Watch());
}

void ScreenManager::RemoveOverlay(GuiObject* overlay)
{
    overlays_.erase(std::remove_if(overlays_.begin(), overlays_.end(),
                                   [overlay](const auto& entry) { return entry.first == overlay; }),
                    overlays_.end());
}

void ScreenManager::KeepAspect(float heightPerWidth, const GdiplusGfxLayer::Color& margin)
{
    aspect_ = heightPerWidth;
    margin_ = margin;
}

bool ScreenManager::WindowSized(int width, int height)
{
    RenderLockGuard lock(RenderLock());
    const Rect before = contentFrame_;
    contentFrame_ = Rect{0, 0, width, height};
    if (aspect_ > 0.0f && width > 0 && height > 0) {
        int contentWidth = width;
        int contentHeight = RoundToIntSize(static_cast<float>(width) * aspect_);
        if (contentHeight > height) {
            contentHeight = height;
            contentWidth = RoundToIntSize(static_cast<float>(height) / aspect_);
        }
        // A pixel lost to rounding while the window itself keeps the aspect
        // makes no margin.
        if (width - contentWidth > 1 || height - contentHeight > 1)
            contentFrame_ = Rect{(width - contentWidth) / 2, (height - contentHeight) / 2, contentWidth, contentHeight};
    }
    width = contentFrame_.width;
    height = contentFrame_.height;
    // The margins, and the screens where they move, are drawn anew.
    if (contentFrame_.x != before.x || contentFrame_.y != before.y)
        InvalidateAll();
    SetWindowSize(width, height);
    // Under a screen, the window's own content is not told.
    baseMissedSize_ = active_ != nullptr;
    if (Target()) {
        Signal::WindowSized sized(width, height);
        Broadcast(sized, false);
    }
    return dirty_;
}

bool ScreenManager::SetWindowActive(bool focused)
{
    RenderLockGuard lock(RenderLock());
    if (!focused)
        RememberSelection();
    Signal::WindowActivated activated(!focused);
    Broadcast(activated, true);
    if (focused)
        RestoreSelection();
    return dirty_;
}

// Every selected object, each before those inside it: a selection is a
// tree, not a line (a button is selected with the backdrop it lies on, and
// the first selected child may be the backdrop), and the objects holding a
// selected one need not be selectable themselves (a message box's row).
void ScreenManager::RememberSelection()
{
    selectionBeforeDeactivation_.clear();
    GuiObject* target = Target();
    std::vector<GuiObject*> pending;
    if (target)
        pending.push_back(target);
    while (!pending.empty()) {
        GuiObject* object = pending.back();
        pending.pop_back();
        if (object->IsSelected())
            selectionBeforeDeactivation_.emplace_back(object, object->Watch());
        const auto& children = object->GetChildren();
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
}

// A window that lost the focus (to its own popup, a list opened and closed by
// the keys; to its owner, clicked while this box is up) gets it back with
// nothing selected, and the keys would start from nowhere and the ring would
// not show: they carry on from the control that had them.
void ScreenManager::RestoreSelection()
{
    std::vector<std::pair<GuiObject*, std::weak_ptr<void>>> remembered;
    remembered.swap(selectionBeforeDeactivation_);
    GuiObject* target = Target();
    if (!target || target->HasSelectedChild())
        return;
    // A selection slot may close what follows: each step is checked again.
    for (const auto& entry : remembered) {
        if (entry.second.expired() || !entry.first->SetSelected(true) || entry.second.expired())
            continue;
        entry.first->Invalidate();
    }
}

bool ScreenManager::MouseMove(const Point& point, bool hostFocused)
{
    RenderLockGuard lock(RenderLock());
    if (!HasVisibleTarget())
        return dirty_;
    GuiObject* target = Target();
    std::weak_ptr<void> watch = target->Watch();
    Signal::MouseMove move(point.x, point.y);
    Broadcast(move, false);
    if (!hostFocused || leftButtonHeld_ || InputHeldBack() || watch.expired() || Target() != target)
        return dirty_;
    Signal::SelectObject select(point.x, point.y, nullptr);
    target->CollectReceivers(&select, true);
    target->Deliver(&select, nullptr);
    if (watch.expired())
        return dirty_;
    select.select = false;
    target->CollectReceivers(&select, true);
    target->Deliver(&select, nullptr);
    return dirty_;
}

bool ScreenManager::LeftButtonDown(const Point& point)
{
    RenderLockGuard lock(RenderLock());
    leftButtonHeld_ = true;
    if (HasVisibleTarget()) {
        Signal::LeftButtonDown down(point.x, point.y);
        Broadcast(down, false);
    }
    DropFocusOutside(point);
    return dirty_;
}

void ScreenManager::DropFocusOutside(const Point& point)
{
    GuiObject* focus = GetFocusObject();
    if (focus && !focus->HitTest(point.x, point.y)) {
        focusObject_ = nullptr;
        focusWatch_.reset();
        Signal::FocusChange lost(true);
        focus->SendToSelf(&lost);
    }
}

bool ScreenManager::LeftButtonUp(const Point& point)
{
    RenderLockGuard lock(RenderLock());
    leftButtonHeld_ = false;
    if (HasVisibleTarget()) {
        Signal::LeftButtonUp up(point.x, point.y);
        Broadcast(up, false);
    }
    return dirty_;
}

bool ScreenManager::RightButtonDown(const Point& point)
{
    RenderLockGuard lock(RenderLock());
    if (Platform::IsLeftControlDown())
        return dirty_;
    rightButtonHeld_ = true;
    if (HasVisibleTarget()) {
        Signal::RightButtonDown down(point.x, point.y);
        Broadcast(down, false);
    }
    return dirty_;
}

bool ScreenManager::RightButtonUp(const Point& point)
{
    RenderLockGuard lock(RenderLock());
    rightButtonHeld_ = false;
    if (HasVisibleTarget()) {
        Signal::RightButtonUp up(point.x, point.y);
        Broadcast(up, false);
    }
    return dirty_;
}

bool ScreenManager::LeftButtonDblClk(const Point& point)
{
    RenderLockGuard lock(RenderLock());
    // It stands for the second press: the button is held as after any press,
    // and the focus goes as on any press, target or none.
    leftButtonHeld_ = true;
    if (HasVisibleTarget()) {
        Signal::LeftButtonDblClk click(point.x, point.y);
        Broadcast(click, false);
    }
    DropFocusOutside(point);
    if (!HasVisibleTarget())
        return dirty_;
    Signal::GuiBuilderActivate builder;
    Broadcast(builder, false);
    return dirty_;
}

bool ScreenManager::RightButtonDblClk(const Point& point)
{
    RenderLockGuard lock(RenderLock());
    if (HasVisibleTarget()) {
        Signal::RightButtonDblClk click(point.x, point.y);
        Broadcast(click, false);
    }
    return dirty_;
}

bool ScreenManager::MouseWheel(const Point& point, int delta)
{
    RenderLockGuard lock(RenderLock());
    if (HasVisibleTarget()) {
        Signal::MouseWheel wheel(point.x, point.y, delta);
        Broadcast(wheel, false);
    }
    return dirty_;
}

bool ScreenManager::KeyPress(std::uint32_t code)
{
    RenderLockGuard lock(RenderLock());
    if (!HasVisibleTarget())
        return dirty_;
    if (!InputHeldBack()) {
        Signal::KeyPress key(code);
        key.SetSource(nullptr);
        Send(Target(), key, true);
    }
    if (GuiObject* focus = GetFocusObject()) {
        Signal::KeyPress toFocus(code);
        focus->SendToSelf(&toFocus);
    }
    return dirty_;
}

bool ScreenManager::DropFile(const std::string& fileName, const Point& point)
{
    RenderLockGuard lock(RenderLock());
    if (HasVisibleTarget()) {
        Signal::DropFile drop(point.x, point.y, fileName);
        Broadcast(drop, false);
    }
    return dirty_;
}

void ScreenManager::ReleaseClosedScreens()
{
    std::vector<std::pair<GuiObject*, GuiObject*>> doomed;
    for (const ReplacedRoot& replaced : replacedRoots_)
        if (!replaced.watch.expired())
            doomed.emplace_back(replaced.owner, replaced.root);
    replacedRoots_.clear();
    for (auto& entry : screens_) {
        ScreenEntry& screen = entry.second;
        if (!screen.closed)
            continue;
        if (GuiObject* root = RootOf(screen))
            doomed.emplace_back(screen.owner, root);
        screen.root = nullptr;
        screen.rootWatch.reset();
        screen.closed = false;
    }
    for (const auto& victim : doomed)
        DllGlobalObjectFactoryInstance().ReleaseObject(victim.first, victim.second);
}

bool ScreenManager::Timer()
{
    RenderLockGuard lock(RenderLock());
    const bool wasTicking = std::exchange(ticking_, true);
    struct Restore {
        bool& flag;
        bool value;
        ~Restore() { flag = value; }
    } restore{ticking_, wasTicking};
    ReleaseClosedScreens();
    if (HasVisibleTarget()) {
        Signal::Timer tick(Platform::NowMs() - startClock_);
        Broadcast(tick, false);
    }
    return dirty_;
}

bool ScreenManager::Render(GdiplusGfxLayer::WindowSurface& surface, FramePresenter& presenter)
{
    GuiObject* target = Target();
    if (!target || !target->IsVisible())
        return false;
    const Rect bounds = dirtyRegion_.GetBounds();
    if (!fullRedraw_ && (bounds.width <= 0 || bounds.height < 1)) {
        dirty_ = false;
        return false;
    }
    RenderLockGuard lock(RenderLock());
    int width = 0;
    int height = 0;
    presenter.GetClientSize(width, height);
    surface.Resize(width, height);
    if (fullRedraw_)
        dirtyRegion_.Union(Rect{0, 0, width, height});
    surface.SetClip(dirtyRegion_);
    GdiplusGfxLayer::Painter& painter = surface.GetPainter();
    painter.Clear();
    const Rect& frame = contentFrame_;
    const bool margins = frame.x != 0 || frame.y != 0;
    if (margins) {
        painter.FillRect(Rect{0, 0, width, height}, margin_);
        painter.Translate(static_cast<float>(frame.x), static_cast<float>(frame.y));
    }
    target->Render(painter);
    const auto overlays = overlays_;
    for (const auto& overlay : overlays)
        if (!overlay.second.expired())
            overlay.first->DrawSelf(painter);
    if (margins)
        painter.Translate(static_cast<float>(-frame.x), static_cast<float>(-frame.y));
    presenter.Present(surface, dirtyRegion_);
    dirtyRegion_.MakeEmpty();
    dirty_ = false;
    fullRedraw_ = false;
    return true;
}

void ScreenManager::InvalidateRect(const Rect& rect)
{
    if (rect.width < 1 || rect.height < 1)
        return;
    // A tick draws what it made dirty when it ends; anything else made dirty
    // (a posted call, code outside the loop) is drawn on the next tick.
    if (!ticking_ && !dirty_)
        Platform::RequestNextTick();
    dirty_ = true;
    dirtyRegion_.Union(Rect{rect.x + contentFrame_.x, rect.y + contentFrame_.y, rect.width, rect.height});
}

} // namespace Vabo
