#include "framework/host/Window.h"

#include <algorithm>

#include <tinyxml.h>

#include "framework/core/InputSignals.h"
#include "framework/core/KeyCommandSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/core/XmlDocument.h"
#include "framework/host/WindowSurface.h"
#include "framework/host/FocusRing.h"
#include "framework/host/GuiBuilderPosition.h"
#include "framework/core/HostInputSignals.h"
#include "framework/host/ScreenManager.h"
#include "framework/host/VaboWnd.h"
#include "platform/Display.h"
#include "platform/HostInput.h"
#include "platform/Log.h"
#include "platform/WindowShape.h"
#include "platform/TickRequest.h"

namespace Vabo {

namespace {

RegisterClass<Window> windowClass("Vabo::Window", "$VABO/Objects/Window/Window.xml",
                                  [](TiXmlElement* element) -> GuiObject* { return new Window(element); });
RegisterClassSlot<Window, Signal::Base> closeSlot("Vabo::Window::CloseSlot", &Window::CloseSlot);
RegisterClassSlot<Window, Signal::Base> hideSlot("Vabo::Window::HideSlot", &Window::HideSlot);
RegisterClassSlot<Window, Signal::Base> minimizeSlot("Vabo::Window::MinimizeSlot", &Window::MinimizeSlot);
RegisterClassSlot<Window, Signal::Base> maxRestoreSlot("Vabo::Window::MaxRestoreSlot", &Window::MaxRestoreSlot);
RegisterClassSlot<Window, Signal::Base> toggleSlot("Vabo::Window::ToggleVisibilitySlot", &Window::ToggleVisibilitySlot);
SignalRegistrar<Window::CloseSignal> closeSignal("Vabo::Window::CloseSignal");
SignalRegistrar<Window::VisibleSignal> visibleSignal("Vabo::Window::VisibleSignal");

// Hover timing: a pointer resting this long arms the tooltips; an armed tooltip
// hides again after the longer delay.
constexpr Platform::Milliseconds kHoverDelayMs = 1000;
constexpr Platform::Milliseconds kToolTipLifeMs = 5000;
// While the pointer rests, how often it is looked for: leaving the window or
// the object is also an input, so this only needs to catch what is not.
constexpr Platform::Milliseconds kArmedPollMs = 100;

} // namespace

Window::Window(TiXmlElement* element)
    : GridLayout(nullptr, true)
    , host_(std::make_unique<VaboWnd>(element))
    , hoverStart_(Platform::NowMs())
{
    if (element) {
        RegisterLoader<Window>(element, this);
    }
    switch (type_) {
    case Application:
        AddSlot<Signal::LeftButtonDown>(&Window::HoverResetSlot, this);
        AddSlot<Signal::RightButtonDown>(&Window::HoverResetSlot, this);
        AddSlot<Signal::MouseMove>(&Window::HoverMoveSlot, this);
        AddScheduledTickSlot(&Window::HoverTimerSlot, this);
        AddSlot<Signal::HostWindowMoved>(&Window::HostMovedSlot, this);
        break;
    case Child:
        AddSlot<Signal::ScreenActivation>(&Window::FollowVisibilitySlot, this);
        break;
    case Popup:
        break;
    }
    AddSlot<Signal::Confirm>(&Window::ConfirmSlot, this);
    AddSlot<Signal::SelectNextObject>(&Window::FocusRingSlot, this);
}

Window::~Window()
{
    // Windows built later from the document must not find this one as owner.
    if (auto document = ownerDocument_.lock()) {
        if (XmlDocument::GetOwnerWindow(document.get()) == this)
            XmlDocument::SetOwnerWindow(document.get(), nullptr);
    }
    if (host_)
        host_->DestroyWindow();
    host_.reset();
}

bool Window::LoadFromXML(TiXmlElement* element)
{
    if (!element) {
        Platform::Log("Vabo::Window::LoadFromXML - Empty XML element - Window requires valid XML for "
                      "construction");
    } else {
        std::string type = "Application";
        ReadXmlAttribute(type, element, "Type", false);
        if (type == "Application") {
            type_ = Application;
            if (XmlDocument* document = XmlDocument::Of(element)) {
                XmlDocument::SetOwnerWindow(document, this);
                ownerDocument_ = document->weak_from_this();
            }
        } else if (type == "Child") {
            type_ = Child;
        } else if (type == "Popup") {
            type_ = Popup;
        } else {
            ThrowXmlError(element, "Bad window type specified");
        }

        int x = 0, y = 0, width = 0, height = 0;
        ReadXmlAttribute(x, element, "XPos", false, kSkinLength);
        ReadXmlAttribute(y, element, "YPos", false, kSkinLength);
        ReadXmlAttribute(width, element, "Width", false, kSkinLength);
        ReadXmlAttribute(height, element, "Height", false, kSkinLength);

        SetTopLevel(CreateHost(element, x, y, width, height));
        AddSlot<Signal::WindowSized>(&Window::WindowSizedSlot, this);

        SetPosition(x, y);
        SetSize(width, height);
        ResetCachedRect();
        UpdateLayout();
    }

    // The bindings live in the process-wide list that every screen manager
    // matches keys against; a window without a host has none to reach it.
    if (host_) {
        AddBuilderKeyBindings();
        AddDialogKeyBindings();
        // The keyboard's place is shown in the skin's focus colour, the
        // accent blue without one.
        GdiplusGfxLayer::Color focus(255, 56, 189, 248);
        if (element)
            ReadXmlAttribute(focus, element, "FocusColor", false);
        if (!focusRing_) {
            focusRing_ = std::make_unique<FocusRing>(focus);
            host_->GetScreenManager().AddOverlay(focusRing_.get());
        }
    }

    if (!element)
        return true;
    SetXmlElement(element);
    GuiObject::LoadFromXML(element);
    CreateScreens(element);
    GridLayout::LoadFromXML(element);

    ReadXmlAttribute(shaped_, element, "ShapedWindow", false);
    if (shaped_)
        UpdateShape();

    bool visible = true;
    ReadXmlAttribute(visible, element, "Visible", false);
    if (type_ == Popup) {
        // A popup shows only when asked to; until then it says it is hidden.
        if (host_)
            GuiObject::SetVisible(false);
    } else if (visible) {
        SetVisible(true);
    } else {
        // Not shown, it says so: the first toggle shows it.
        GuiObject::SetVisible(false);
    }
    return true;
}

bool Window::CreateHost(TiXmlElement* element, int x, int y, int width, int height)
{
    // Loading again (the GUI builder reloads skins) keeps the window it has.
    if (host_ && host_->IsCreated())
        return true;
    bool created = false;
    if (type_ == Application) {
        ReadXmlText(title_, element, "Title", false);
        std::string icon;
        ReadXmlAttribute(icon, element, "Icon", false);
        // A window the user can resize (it names a grip) can also be
        // maximised and made full screen by the window manager.
        std::string grip;
        const bool resizable = ReadXmlAttribute(grip, element, "Resize", false) && !grip.empty();
        created = host_->Create(VaboWnd::Kind::Application, title_, x, y, width, height, nullptr, resizable);
        if (created && !icon.empty())
            host_->SetIcon(icon);
    } else {
        // Popups and children are owned by the application window of their
        // document: a popup stands over it, a child lies inside its host window.
        Window* owner = XmlDocument::GetOwnerWindow(element->GetDocument());
        if (owner) {
            const VaboWnd::Kind kind = type_ == Child ? VaboWnd::Kind::Child : VaboWnd::Kind::Popup;
            created = host_->Create(kind, std::string(), x, y, width, height, owner->GetHostWnd());
        }
    }
    if (!created) {
        host_.reset();
        return false;
    }
    host_->GetScreenManager().SetBaseRoot(this);
    SetScreenManager(&host_->GetScreenManager());
    host_->StartHost();
    return true;
}

void Window::AddBuilderKeyBindings()
{
    struct Binding {
        char key;
        int x, y, width, height;
    };
    static const Binding bindings[] = {
        {'a', 0, 0, -1, 0}, {'d', 0, 0, 1, 0}, {'w', 0, 0, 0, -1}, {'s', 0, 0, 0, 1},
        {'i', 0, -1, 0, 0}, {'k', 0, 1, 0, 0}, {'j', -1, 0, 0, 0}, {'l', 1, 0, 0, 0},
    };
    ScreenManager& screens = host_->GetScreenManager();
    for (const Binding& b : bindings) {
        screens.AddKeyBinding(Signal::KeyPress(static_cast<unsigned char>(b.key)),
                              std::make_shared<Signal::GuiBuilderPosition>(b.x, b.y, b.width, b.height));
    }
}

void Window::AddDialogKeyBindings()
{
    ScreenManager& screens = host_->GetScreenManager();
    for (std::uint32_t key : {std::uint32_t{13}, std::uint32_t{' '}})
        screens.AddKeyBinding(Signal::KeyPress(key), std::make_shared<Signal::Confirm>());
    screens.AddKeyBinding(Signal::KeyPress(27), std::make_shared<Signal::Cancel>());
    // Tab moves the selection on through the tab lists, Shift+Tab back.
    screens.AddKeyBinding(Signal::KeyPress(9), std::make_shared<Signal::SelectNextObject>(1));
    screens.AddKeyBinding(Signal::KeyPress(Platform::kVirtualKeyFlag | Platform::VirtualKey::BackTab),
                          std::make_shared<Signal::SelectNextObject>(0));
}

bool Window::PressSelected()
{
    // As a click at the selection would: the window, each selected object and
    // each one holding it, outermost first, get their Activate (a click
    // reaches every object under the pointer, the window and containers too).
    std::vector<std::pair<GuiObject*, std::weak_ptr<void>>> selected;
    std::vector<GuiObject*> pending{this};
    while (!pending.empty()) {
        GuiObject* at = pending.back();
        pending.pop_back();
        const std::vector<GuiObject*> children = at->GetChildren();
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            if ((*child)->IsVisible() && ((*child)->IsSelected() || (*child)->HasSelectedChild()))
                pending.push_back(*child);
        selected.emplace_back(at, at->Watch());
    }
    // The window alone holds no selection: nothing to press.
    if (selected.size() < 2)
        return false;
    for (auto& [object, watch] : selected) {
        if (watch.expired())
            continue;
        Signal::Activate activate;
        object->SendToSelf(&activate);
    }
    return true;
}

void Window::ConfirmSlot(Signal::Base*, GuiObject*)
{
    // An edit box with the keyboard focus takes its keys itself.
    if (host_ && host_->GetScreenManager().GetFocusObject())
        return;
    PressSelected();
}

bool Window::SetPosition(int x, int y)
{
    bool moved = false;
    if (host_) {
        if (type_ == Popup) {
            VaboWnd* parent = host_->GetParent();
            const Platform::Rect frame = parent ? parent->GetWindowRect() : Platform::Rect{};
            if (frame.x != x || frame.y != y)
                host_->MoveTo(x, y);
        } else if (IsMaximized()) {
            const Platform::Rect own = host_->GetWindowRect();
            if (own.x != x || own.y != y)
                host_->MoveTo(x, y);
        } else {
            host_->MoveTo(x, y);
            moved = true;
        }
    }
    GuiObject::SetPosition(x, y);
    return moved;
}

bool Window::SetSize(int width, int height)
{
    if (width == GetWidth() && height == GetHeight())
        return true;
    if (!host_)
        return false;
    shapeBuilt_ = false;
    if (IsMaximized()) {
        const Platform::Rect client = host_->GetClientRect();
        if (client.width == GetWidth() && client.height == GetHeight())
            return false;
    }
    bool result = GuiObject::SetSize(width, height);
    host_->Resize(GetWidth(), GetHeight());
    return result;
}

void Window::SetVisible(bool visible)
{
    GuiObject::SetVisible(visible);
    // The outline is cut before the window is mapped, from the drawing of the
    // now visible tree.
    if (IsVisible())
        UpdateShape();
    if (host_ && host_->IsCreated()) {
        if (visible) {
            host_->Show();
            // A popup takes the input focus, so that losing it closes the popup.
            if (type_ == Popup && takesFocus_)
                host_->SetFocus();
        } else {
            const bool hadFocus = host_->HasFocus();
            host_->Hide();
            // Without a window manager the focus of a window that goes would
            // go nowhere: a popup hands it back to its owner.
            if (hadFocus && type_ == Popup)
                if (VaboWnd* owner = host_->GetParent())
                    owner->SetFocus();
        }
    }
    if (IsVisible()) {
        Signal::ConnectXMLSlots connect;
        Raise(&connect);
        VisibleSignal shown(this);
        SendToSelf(&shown);
        // Laid out and shown, the default stop can take the selection.
        MarkDefaultStop(true);
    }
}

void Window::CloseSlot(Signal::Base*, GuiObject*)
{
    Close();
}

void Window::ToggleVisibilitySlot(Signal::Base*, GuiObject*)
{
    SetVisible(!IsVisible());
}

// The host window goes too: a hidden tree in a shown window would leave the
// window's last picture on the screen, undrawn.
void Window::HideSlot(Signal::Base*, GuiObject*)
{
    SetVisible(false);
}

void Window::MinimizeSlot(Signal::Base*, GuiObject*)
{
    Minimize();
}

void Window::MaxRestoreSlot(Signal::Base*, GuiObject*)
{
    if (IsMaximized())
        Restore();
    else
        Maximize();
}

void Window::WindowSizedSlot(Signal::Base*, GuiObject*)
{
    if (!shaped_)
        return;
    shapeBuilt_ = false;
    UpdateShape();
}

void Window::DoModal(Window* owner)
{
    if (!host_)
        return;
    VaboWnd* ownerHost = owner ? owner->GetHostWnd() : nullptr;
    if (ownerHost == host_.get())
        ownerHost = nullptr;
    if (owner)
        SetPosition(owner->GetX() + GetX(), owner->GetY() + GetY());
    // The owner's tool tip goes before the box shows: left mapped, it would
    // stand over the box undrawn, and a window manager may give it the keys.
    if (ownerHost)
        owner->HoverResetSlot(nullptr, nullptr);
    // Before it is shown: the window manager then never puts the owner over it.
    if (ownerHost)
        host_->SetOwner(*ownerHost);
    SetVisible(true);
    host_->SetFocus();
    Signal::ConnectXMLSlots connect;
    Raise(&connect);
    Signal::ObjectReady ready;
    Raise(&ready);
    modal_ = true;
    host_->SetActive();
    // Switching input off is counted, so a nested modal over the same owner
    // leaves it off until the outer loop ends too.
    if (ownerHost)
        ownerHost->EnableWindow(false);
    host_->RunModalLoop();
    // The loop has ended: a later Close hides the window instead of ending a loop
    // that no longer runs.
    modal_ = false;
    if (ownerHost) {
        ownerHost->EnableWindow(true);
        // The owner takes the keyboard again, with or without a window manager.
        ownerHost->SetFocus();
    }
}

void Window::Close()
{
    if (modal_ && host_)
        host_->EndModalLoop(0);
    else
        SetVisible(false);
    CloseSignal closed(this);
    SendToSelf(&closed);
}

void Window::Maximize()
{
    if (host_)
        host_->Maximize();
}

void Window::Minimize()
{
    if (host_)
        host_->Minimize();
}

bool Window::IsMinimized() const
{
    return host_ && host_->IsIconic();
}

bool Window::ArrangeIconic()
{
    return host_ != nullptr;
}

void Window::Restore()
{
    if (host_)
        host_->Restore();
}

void Window::SetCursor(int shape)
{
    if (host_)
        host_->SetCursorShape(shape);
}

std::string Window::GetTitle() const
{
    return title_;
}

void Window::SetTitle(const std::string& title)
{
    title_ = title;
    if (host_)
        host_->SetWindowText(title);
}

bool Window::IsMaximized() const
{
    return host_ && host_->IsZoomed();
}

void Window::BringForward()
{
    if (!host_)
        return;
    if (IsMinimized())
        Restore();
    host_->SetFocus();
}

void Window::UpdateShape()
{
    // A hidden tree draws nothing: its outline would hide the window and let
    // every click through. It is cut when the window is shown.
    if (shapeBuilt_ || !host_ || !shaped_ || !IsVisible())
        return;
    // A shown window draws its next frame whole: the outline is cut from that
    // frame, not from a drawing of its own (a resize would draw twice a step).
    if (host_->IsWindowVisible()) {
        host_->OnNextFrame([this](const GdiplusGfxLayer::WindowSurface& frame, const GdiplusGfxLayer::Region& drawn) {
            CutOutline(&frame, &drawn);
        });
        Invalidate();
        return;
    }
    CutOutline(nullptr, nullptr);
}

void Window::CutOutline(const GdiplusGfxLayer::WindowSurface* frame, const GdiplusGfxLayer::Region* drawn)
{
    if (shapeBuilt_ || !host_ || !shaped_ || !IsVisible())
        return;
    // Inside margins (maximised or full screen) the whole window shows.
    const Platform::Rect client = host_->GetClientRect();
    const Rect& content = host_->GetScreenManager().GetContentFrame();
    if (content.x != 0 || content.y != 0) {
        if (Platform::SetWindowShape(host_->GetNativeWindow()->Handle(), {client}))
            host_->GetNativeWindow()->SetShaped(false);
        shapeBuilt_ = true;
        return;
    }
    // The frame serves when it is this tree's drawing alone (no other screen,
    // no focus ring over it), whole and at the tree's size.
    const cairo_rectangle_int_t tree{0, 0, GetWidth(), GetHeight()};
    const bool frameServes = frame && drawn && frame->GetWidth() == GetWidth() && frame->GetHeight() == GetHeight()
        && host_->GetScreenManager().GetActiveRoot() == this && (!focusRing_ || !focusRing_->Followed())
        && cairo_region_contains_rectangle(drawn->Get(), &tree) == CAIRO_REGION_OVERLAP_IN;
    std::optional<std::vector<Platform::Rect>> outline;
    if (frameServes) {
        outline = frame->CreateWindowRegion();
    } else {
        GdiplusGfxLayer::WindowSurface surface(GetWidth(), GetHeight());
        Render(surface.GetPainter());
        outline = surface.CreateWindowRegion();
    }
    if (outline && Platform::SetWindowShape(host_->GetNativeWindow()->Handle(), *outline))
        host_->GetNativeWindow()->SetShaped(true);
    shapeBuilt_ = true;
}

// The window manager moves windows too (its own placement, a drag with Alt, a
// keyboard move): the position follows the screen without moving the window again.
void Window::HostMovedSlot(Signal::Base* signal, GuiObject*)
{
    if (type_ != Application)
        return;
    auto* moved = static_cast<Signal::HostWindowMoved*>(signal);
    GuiObject::SetPosition(moved->x, moved->y);
}

GuiObject* Window::GetKeyboardStop() const
{
    return focusRing_ ? focusRing_->Followed() : nullptr;
}

void Window::SetDefaultStop(GuiObject* stop)
{
    defaultStop_ = stop;
    defaultWatch_ = stop ? stop->Watch() : std::weak_ptr<void>();
}

void Window::OnSelectObject(Signal::Base* signal, GuiObject* object)
{
    GridLayout::OnSelectObject(signal, object);
    // The deselecting half of a move of the selection reaches the window
    // after everything inside it: what stays selected is settled by now.
    if (!static_cast<Signal::SelectObject*>(signal)->select)
        MarkDefaultStop(false);
}

void Window::MarkDefaultStop(bool always)
{
    // Selecting the stop moves the selection again, which comes back here.
    if (defaultWatch_.expired() || markingDefault_ || !IsVisible())
        return;
    const std::vector<TabEntry>& stops = GetTabList();
    const bool held = std::any_of(stops.begin(), stops.end(), [](const TabEntry& entry) {
        return !entry.watch.expired() && (entry.object->IsSelected() || entry.object->HasSelectedChild());
    });
    if (held && !always)
        return;
    const std::weak_ptr<void> self = Watch();
    markingDefault_ = true;
    defaultStop_->TabSelect();
    if (self.expired())
        return;
    markingDefault_ = false;
    if (focusRing_ && !defaultWatch_.expired())
        focusRing_->Follow(defaultStop_);
}

void Window::FocusRingSlot(Signal::Base* signal, GuiObject*)
{
    auto* next = static_cast<Signal::SelectNextObject*>(signal);
    // Tab past the last stop comes round to the first, Shift+Tab past the
    // first to the last; the lists of a popup end where they end.
    const bool sideways = next->direction == 0 || next->direction == 1;
    if (!next->chosen && sideways && type_ != Popup) {
        GuiObject* stop = EntryStop(next->direction);
        if (stop != this) {
            stop->TabSelect();
            next->chosen = stop;
        }
    }
    if (!next->chosen)
        return;
    if (focusRing_)
        focusRing_->Follow(next->chosen);
    // The keys go where the ring is: an edit box reached takes them, and one
    // left behind gives them up.
    if (host_) {
        ScreenManager& screens = host_->GetScreenManager();
        screens.SetFocusObject(next->chosen->TakesFocusOnClick() ? next->chosen : nullptr);
    }
}

void Window::FollowVisibilitySlot(Signal::Base* signal, GuiObject*)
{
    if (type_ != Child)
        return;
    SetVisible(static_cast<Signal::ScreenActivation*>(signal)->activated);
}

void Window::CenterWindow()
{
    if (!host_)
        return;
    host_->CenterWindow();
    Platform::Rect placed = host_->GetWindowRect();
    // A child's place counts from its owner's client area, as SetPosition
    // takes it.
    VaboWnd* owner = host_->GetParent();
    if (type_ == Child && owner) {
        const Platform::Rect client = owner->GetContentScreenRect();
        placed.x -= client.x;
        placed.y -= client.y;
    }
    GuiObject::SetPosition(placed.x, placed.y);
}

void Window::CenterOnOwner(const Window& owner)
{
    const VaboWnd* ownerHost = owner.GetHostWnd();
    if (!ownerHost || !ownerHost->IsCreated())
        return;
    const Platform::Rect frame = ownerHost->GetWindowRect();
    int x = frame.x + (frame.width - GetWidth()) / 2;
    int y = frame.y + (frame.height - GetHeight()) / 2;
    // Partly off the screen, a box may hide the very button that answers it.
    const Platform::Rect work = Platform::WorkAreaOf(ownerHost->GetNativeWindow()->Handle());
    if (work.width > 0 && work.height > 0)
        Platform::KeepInsideWorkArea({x, y, GetWidth(), GetHeight()}, work, x, y);
    GuiObject::SetPosition(x - owner.GetX(), y - owner.GetY());
}

GuiObject* Window::HeldToolTip() const
{
    return toolTipWatch_.expired() ? nullptr : toolTipObject_;
}

void Window::HoldToolTip(GuiObject* object)
{
    toolTipObject_ = object;
    toolTipWatch_ = object ? object->Watch() : std::weak_ptr<void>();
}

void Window::HideHeldToolTip()
{
    if (GuiObject* held = HeldToolTip()) {
        const Point origin{0, 0};
        held->ShowToolTip(false, &origin);
    }
    HoldToolTip(nullptr);
}

bool Window::CursorInWindow(int& x, int& y) const
{
    // From the window's events: asking the X server on every tick would wake
    // it (and us) a hundred times a second while nothing moves.
    return host_ && host_->PointerInWindow(x, y);
}

void Window::HoverResetSlot(Signal::Base*, GuiObject*)
{
    HideHeldToolTip();
    hoverArmed_ = false;
    hoverStart_ = Platform::NowMs();
}

void Window::HoverMoveSlot(Signal::Base* signal, GuiObject*)
{
    auto* move = static_cast<Signal::Positional*>(signal);
    hoverX_ = move->x;
    hoverY_ = move->y;
    if (hoverArmed_ && HeldToolTip() && !HeldToolTip()->HitTest(hoverX_, hoverY_)) {
        HideHeldToolTip();
    }
    if (!hoverArmed_)
        hoverStart_ = Platform::NowMs();
    if (hoverArmed_ && !HeldToolTip()) {
        Signal::ShowToolTip show(hoverX_, hoverY_);
        Raise(&show);
        HoldToolTip(show.claimer);
        hoverStart_ = Platform::NowMs();
    }
}

void Window::HoverTimerSlot(Signal::Base*, GuiObject*)
{
    // Minimised, the pointer rests on nothing of the window: its tooltip goes
    // and the watch pauses; the window's coming back is an input, whose tick
    // takes it up again.
    if (IsMinimized()) {
        HideHeldToolTip();
        return;
    }
    const Platform::Milliseconds now = Platform::NowMs();
    // Input switched off (a modal box over the window): no tool tip until it
    // is back, and the pointer's rest is timed again from then.
    if (!host_ || !host_->IsWindowEnabled()) {
        HideHeldToolTip();
        hoverArmed_ = false;
        hoverStart_ = now;
        return;
    }
    int x = 0, y = 0;
    if (IsVisible() && !hoverArmed_) {
        if (now - hoverStart_ > kHoverDelayMs && CursorInWindow(x, y)) {
            hoverArmed_ = (x == hoverX_ && y == hoverY_);
            if (hoverArmed_ && HitTest(x, y)) {
                Signal::ShowToolTip show(hoverX_, hoverY_);
                Raise(&show);
                HoldToolTip(show.claimer);
            }
        }
    }
    if (!hoverArmed_) {
        // Waits for the hover delay; once it has passed unarmed, only the
        // pointer's next move (an input) can arm it.
        if (now - hoverStart_ <= kHoverDelayMs)
            Platform::RequestTickAt(hoverStart_ + kHoverDelayMs + 1);
        return;
    }
    // Armed, the pointer rests in the window: it is watched for leaving, and
    // a shown tooltip for the end of its life.
    Platform::RequestTickAt(now + kArmedPollMs);
    if (now - hoverStart_ <= kToolTipLifeMs)
        Platform::RequestTickAt(hoverStart_ + kToolTipLifeMs + 1);
    if (GuiObject* held = HeldToolTip(); held && now - hoverStart_ > kToolTipLifeMs) {
        const Point origin{0, 0};
        held->ShowToolTip(false, &origin);
        return;
    }
    if (!CursorInWindow(x, y) || !HitTest(x, y)) {
        HideHeldToolTip();
        hoverArmed_ = false;
        hoverStart_ = now;
    }
}

} // namespace Vabo
