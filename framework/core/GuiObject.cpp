#include "framework/core/GuiObject.h"

#include <algorithm>
#include <cmath>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/IdFactory.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/ScreenManagerInterface.h"
#include "framework/core/ScreenManagerNotReady.h"

namespace Vabo {

GuiObject::GuiObject(int unselectable, int fixedSize)
    : fixedSize_(fixedSize)
    , unselectable_(unselectable)
    , id_(static_cast<int>(DllIdFactoryInstance().Next()))
{
}

GuiObject::GuiObject(TiXmlElement* element, int unselectable, int fixedSize)
    : GuiObject(unselectable, fixedSize)
{
    element_ = element;
    try {
        AddLoaderAndRun(element, [this](TiXmlElement* e) { return GuiObject::LoadFromXML(e); });
    } catch (...) {
        // The destructor does not run for a constructor that throws.
        GlobalObjectFactory_::ObjectDestroyed(this);
        throw;
    }
}

// GUI thread only, like every change to a tree.
std::uint64_t GuiObject::receiverGeneration_ = 0;

GuiObject::~GuiObject()
{
    ++receiverGeneration_;
    Detach();
    GlobalObjectFactory_::ObjectDestroyed(this);
}

void GuiObject::RemoveFromParent()
{
    GuiObject* parent = parent_;
    if (parent == nullptr)
        return;
    parent_ = nullptr;
    parent->ForgetDependent(this);
    parent->RemoveChild(this, false);
}

void GuiObject::ForgetDependent(GuiObject* object)
{
    dependents_.erase(std::remove(dependents_.begin(), dependents_.end(), object), dependents_.end());
}

void GuiObject::Detach()
{
    RemoveFromParent();
    for (GuiObject* dependent : dependents_) {
        if (dependent->parent_ == this)
            dependent->parent_ = nullptr;
    }
    dependents_.clear();
    children_.clear();
    ++receiverGeneration_;
}

const std::string& GuiObject::GetName() const
{
    return name_;
}
void GuiObject::SetName(const std::string& name)
{
    name_ = name;
}
int GuiObject::GetId() const
{
    return id_;
}

void GuiObject::AddWindowOffsetX(int& x)
{
    x += OwnX();
    if (parent_ != nullptr && !topLevel_)
        parent_->AddWindowOffsetX(x);
}

void GuiObject::AddWindowOffsetY(int& y)
{
    y += OwnY();
    if (parent_ != nullptr && !topLevel_)
        parent_->AddWindowOffsetY(y);
}

void GuiObject::SetParent(GuiObject* parent)
{
    // An object is among the dependents of exactly the parent it points to, so
    // only a new parent needs to learn of it.
    const bool newParent = parent_ != parent;
    if (newParent)
        RemoveFromParent();
    parent_ = parent;
    windowActive_ = parent != nullptr && parent->IsWindowActive();
    if (parent != nullptr && newParent)
        parent->dependents_.push_back(this);
}

bool GuiObject::AddChild(GuiObject* child, bool update)
{
    child->SetParent(this);
    if (child->IsTopLevel()) {
        Signal::ConnectXMLSlots connect;
        child->Raise(&connect);
        Signal::ObjectReady ready;
        child->Raise(&ready);
        return true;
    }
    children_.push_back(child);
    ++receiverGeneration_;
    if (update)
        UpdateLayout();
    return true;
}

void GuiObject::ClearChildren()
{
    for (GuiObject* child : children_) {
        if (child->parent_ == this)
            child->parent_ = nullptr;
    }
    // One pass over the dependents for all the children let go.
    dependents_.erase(std::remove_if(dependents_.begin(), dependents_.end(),
                                     [this](const GuiObject* dependent) { return dependent->parent_ != this; }),
                      dependents_.end());
    std::vector<GuiObject*>().swap(children_);
    ++receiverGeneration_;
}

bool GuiObject::RemoveChild(GuiObject* child, bool update)
{
    auto end = std::remove(children_.begin(), children_.end(), child);
    bool found = end != children_.end();
    children_.erase(end, children_.end());
    if (!found)
        return false;
    ++receiverGeneration_;
    if (child->parent_ == this) {
        child->parent_ = nullptr;
        ForgetDependent(child);
    }
    if (update)
        UpdateLayout();
    return true;
}

int GuiObject::GetX() const
{
    return x_;
}
int GuiObject::GetY() const
{
    return y_;
}
void GuiObject::SetX(int x)
{
    x_ = x;
}
void GuiObject::SetY(int y)
{
    y_ = y;
}
int GuiObject::GetWidth() const
{
    return width_;
}
int GuiObject::GetHeight() const
{
    return height_;
}
void GuiObject::SetWidth(int width)
{
    width_ = width;
}
void GuiObject::SetHeight(int height)
{
    height_ = height;
}
Rect GuiObject::GetRect() const
{
    return Rect{GetX(), GetY(), width_, height_};
}
int GuiObject::GetRight() const
{
    return OwnX() + width_ - 1;
}
int GuiObject::GetBottom() const
{
    return OwnY() + height_ - 1;
}

int GuiObject::GetWindowX() const
{
    int v = OwnX();
    if (parent_ != nullptr && !topLevel_)
        parent_->AddWindowOffsetX(v);
    return v;
}

int GuiObject::GetWindowY() const
{
    int v = OwnY();
    if (parent_ != nullptr && !topLevel_)
        parent_->AddWindowOffsetY(v);
    return v;
}

Rect GuiObject::GetBounds() const
{
    return Rect{GetX(), GetY(), width_, height_};
}

void GuiObject::SubtreeMaxRight(int& right) const
{
    right = std::max(right, OwnX() + GetWidth());
    for (const GuiObject* child : children_)
        child->SubtreeMaxRight(right);
}

void GuiObject::SubtreeMaxBottom(int& bottom) const
{
    bottom = std::max(bottom, OwnY() + GetHeight());
    for (const GuiObject* child : children_)
        child->SubtreeMaxBottom(bottom);
}

int GuiObject::GetSubtreeMaxRight() const
{
    int right = OwnX() + GetWidth();
    SubtreeMaxRight(right);
    return right;
}

int GuiObject::GetSubtreeMaxBottom() const
{
    int bottom = OwnY() + GetHeight();
    SubtreeMaxBottom(bottom);
    return bottom;
}

int GuiObject::GetContentWidth() const
{
    if (children_.empty())
        return 0;
    int right = GetSubtreeMaxRight();
    int left = right;
    for (const GuiObject* child : children_)
        left = std::min(left, child->OwnX());
    return right - left;
}

int GuiObject::GetContentHeight() const
{
    if (children_.empty())
        return 0;
    int bottom = GetSubtreeMaxBottom();
    int top = bottom;
    for (const GuiObject* child : children_)
        top = std::min(top, child->OwnY());
    return bottom - top;
}

int GuiObject::GetMaxChildWidth() const
{
    int result = 0;
    for (const GuiObject* child : children_)
        result = std::max(result, child->GetWidth());
    return result;
}

int GuiObject::GetMaxChildHeight() const
{
    int result = 0;
    for (const GuiObject* child : children_)
        result = std::max(result, child->GetHeight());
    return result;
}

void GuiObject::CalculateSize()
{
    for (GuiObject* child : children_)
        child->CalculateSize();
}

bool GuiObject::SetPosition(int x, int y)
{
    SetX(x);
    SetY(y);
    return true;
}

bool GuiObject::PlaceBeside(const Rect& object, const Point& pointer, const std::vector<Rect>&)
{
    return SetPosition(pointer.x, object.y - GetHeight() - 2);
}

bool GuiObject::SetSize(int width, int height)
{
    if (fixedSize_ != 0)
        return false;
    width_ = width;
    height_ = height;
    sizedFromContent_ = false;
    return true;
}

void GuiObject::ForceSize(int width, int height)
{
    width_ = width;
    height_ = height;
}

bool GuiObject::HitTest(int x, int y)
{
    if (parent_ != nullptr && !topLevel_) {
        x -= parent_->GetWindowX();
        y -= parent_->GetWindowY();
    }
    return Rect{OwnX(), OwnY(), GetWidth(), GetHeight()}.Contains(x, y);
}

void GuiObject::UpdateLayout()
{
    for (GuiObject* child : children_)
        child->UpdateLayout();
}

void GuiObject::Invalidate()
{
    GetScreenManager()->InvalidateRect(GetRectInTopLevel());
}

bool GuiObject::IsSelected() const
{
    return (IsVisible() && selected_) || forceSelected_;
}
bool GuiObject::IsPressed() const
{
    return pressed_;
}
void GuiObject::SetPressed(bool pressed)
{
    pressed_ = pressed;
}

bool GuiObject::IsChildPressed() const
{
    if (!pressed_)
        return false;
    return std::any_of(children_.begin(), children_.end(), [](const GuiObject* child) { return child->IsPressed(); });
}

bool GuiObject::ClickRequiresPress() const
{
    if (topLevel_ || parent_ == nullptr)
        return true;
    return const_cast<GuiObject*>(this)->GetTopObject()->ClickRequiresPress();
}

void GuiObject::SetForceSelected(bool forceSelected)
{
    forceSelected_ = forceSelected;
}
int GuiObject::IsUnselectable() const
{
    return unselectable_;
}
void GuiObject::SetUnselectable(int unselectable)
{
    unselectable_ = unselectable;
}
int GuiObject::GetFixedSize() const
{
    return fixedSize_;
}
void GuiObject::SetFixedSize(int fixedSize)
{
    fixedSize_ = fixedSize;
}

void GuiObject::SetVisible(bool visible)
{
    visible_ = visible;
    Signal::ObjectVisibilityChange change(visible);
    SendToSelf(&change);
}

bool GuiObject::IsVisible() const
{
    return visible_;
}

bool GuiObject::IsVisibleInTree() const
{
    if (!IsVisible())
        return false;
    return parent_ == nullptr || parent_->IsVisibleInTree();
}

bool GuiObject::IsChildInView(GuiObject* child)
{
    if (!child->IsVisible())
        return false;
    GuiObject* top = GetTopObject();
    Rect view = top->GetRectInParent();
    Rect own{child->GetWindowX(), child->GetWindowY(), child->GetWidth(), child->GetHeight()};
    int left = std::max(view.x, own.x);
    int right = std::min(view.x + view.width, own.x + own.width);
    int upper = std::max(view.y, own.y);
    int lower = std::min(view.y + view.height, own.y + own.height);
    return right > left && lower > upper;
}

bool GuiObject::IsWindowActive() const
{
    return windowActive_;
}
bool GuiObject::IsTopLevel() const
{
    return topLevel_;
}

GuiObject* GuiObject::GetTopObject()
{
    GuiObject* object = this;
    while (!object->topLevel_ && object->parent_ != nullptr)
        object = object->parent_;
    return object;
}

bool GuiObject::HasScreenManager()
{
    GuiObject* top = GetTopObject();
    return top->screenManager_ != nullptr && !top->screenManagerWatch_.expired();
}

ScreenManagerInterface* GuiObject::GetScreenManager()
{
    GuiObject* top = GetTopObject();
    if (top->screenManager_ == nullptr || top->screenManagerWatch_.expired())
        throw ScreenManagerNotReady();
    return top->screenManager_;
}

void GuiObject::SetScreenManager(ScreenManagerInterface* screenManager)
{
    screenManager_ = screenManager;
    screenManagerWatch_ = screenManager != nullptr ? screenManager->Watch() : std::weak_ptr<void>();
}

GuiObject* GuiObject::GetRootObject()
{
    GuiObject* top = GetTopObject();
    if (top->IsTopLevel())
        return top;
    GuiObject* baseRoot = GetScreenManager()->GetBaseRoot();
    return baseRoot != nullptr && baseRoot->IsTopLevel() ? baseRoot : nullptr;
}

Rect GuiObject::GetRectInParent() const
{
    if (topLevel_)
        return Rect{0, 0, GetWidth(), GetHeight()};
    return Rect{GetX(), GetY(), GetWidth(), GetHeight()};
}

Rect GuiObject::GetRectInTopLevel() const
{
    Rect rect = GetRectInParent();
    if (parent_ != nullptr && !topLevel_) {
        parent_->AddWindowOffsetX(rect.x);
        parent_->AddWindowOffsetY(rect.y);
    }
    return rect;
}

void GuiObject::WindowToLocal(Point& point) const
{
    if (parent_ == nullptr)
        return;
    point.x -= parent_->GetWindowX() + GetX();
    point.y -= parent_->GetWindowY() + GetY();
}

bool GuiObject::FindSelectedChild(std::vector<GuiObject*>::iterator& it)
{
    it = std::find_if(children_.begin(), children_.end(), [](const GuiObject* child) { return child->IsSelected(); });
    return it != children_.end();
}

bool GuiObject::IsFirstChild(std::vector<GuiObject*>::iterator it)
{
    return it == children_.begin();
}
bool GuiObject::IsNotChildEnd(std::vector<GuiObject*>::iterator it)
{
    return it != children_.end();
}

void GuiObject::SetToolTipText(const std::string& text)
{
    toolTipText_ = text;
    toolTipWindow_.reset();
}

} // namespace Vabo
