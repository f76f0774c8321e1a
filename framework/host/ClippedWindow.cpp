#include "framework/host/ClippedWindow.h"

#include "framework/core/InputSignals.h"
#include "framework/drawing/Painter.h"
#include "framework/drawing/Painter.h"

namespace Vabo {

namespace {

// A point moved this far lies outside every content object.
constexpr int kOutOfReach = -32768;

} // namespace

ClippedWindow::ClippedWindow(bool sizeContent)
    : GuiObject(1, 0)
    , sizeContent_(sizeContent)
{
}

ClippedWindow::ClippedWindow(GuiObject* content, bool sizeContent)
    : GuiObject(1, 0)
    , sizeContent_(sizeContent)
{
    SetContent(content);
}

ClippedWindow::~ClippedWindow() = default;

GuiObject* ClippedWindow::GetContent() const
{
    return contentWatch_.expired() ? nullptr : content_;
}

bool ClippedWindow::SetContent(GuiObject* content)
{
    if (GuiObject* old = GetContent())
        RemoveChild(old, true);
    content_ = content;
    contentWatch_ = content ? content->Watch() : std::weak_ptr<void>();
    return content ? AddChild(content, true) : true;
}

void ClippedWindow::SetClipOffset(int x, int y)
{
    clipX_ = x;
    clipY_ = y;
}

void ClippedWindow::SetSizeAndClipOffset(int width, int height, int x, int y)
{
    GuiObject::SetSize(width, height);
    SetClipOffset(x, y);
}

void ClippedWindow::AddWindowOffsetX(int& x)
{
    x -= clipX_;
    if (!IsTopLevel()) {
        x += GetX();
        if (GetParent())
            GetParent()->AddWindowOffsetX(x);
    }
}

void ClippedWindow::AddWindowOffsetY(int& y)
{
    y -= clipY_;
    if (!IsTopLevel()) {
        y += GetY();
        if (GetParent())
            GetParent()->AddWindowOffsetY(y);
    }
}

bool ClippedWindow::SetPosition(int x, int y)
{
    SetX(x);
    SetY(y);
    return true;
}

bool ClippedWindow::SetSize(int width, int height)
{
    if (sizeContent_) {
        for (GuiObject* child : GetChildren())
            child->SetSize(width, height);
    }
    return GuiObject::SetSize(width, height);
}

void ClippedWindow::UpdateLayout()
{
    for (GuiObject* child : GetChildren())
        child->UpdateLayout();
}

bool ClippedWindow::DrawSelf(GdiplusGfxLayer::Painter&)
{
    return true;
}

bool ClippedWindow::Render(GdiplusGfxLayer::Painter& painter)
{
    GuiObject* content = GetContent();
    if (!content || GetWidth() <= 0 || GetHeight() <= 0)
        return true;
    GdiplusGfxLayer::ClipScope clip(painter, GetX(), GetY(), GetWidth(), GetHeight());
    GdiplusGfxLayer::TranslationScope shift(painter, static_cast<float>(GetX() - clipX_), static_cast<float>(GetY() - clipY_));
    return content->Render(painter);
}

void ClippedWindow::OnWindowActivated(Signal::Base* signal, GuiObject*)
{
    SetWindowActive(!static_cast<Signal::WindowActivated*>(signal)->deactivated);
}

bool ClippedWindow::PassesToContent(Signal::Base* signal)
{
    if (signal->IsBroadcast())
        return true;
    GuiObject* content = GetContent();
    if (!content || !content->IsVisible())
        return false;
    if (content->IsSelected() || content->HasSelectedChild())
        return true;
    if (!signal->IsPositional())
        return false;
    auto* positional = static_cast<Signal::Positional*>(signal);
    return IsVisible() && HitTest(positional->x, positional->y);
}

void ClippedWindow::CollectReceivers(Signal::Base* signal, bool recurse)
{
    GuiObject* content = GetContent();
    if (recurse && content && PassesToContent(signal)) {
        if (signal->IsPositional()) {
            auto* positional = static_cast<Signal::Positional*>(signal);
            if (HitTest(positional->x, positional->y)) {
                content->CollectReceivers(signal, true);
            } else {
                const Point point{positional->x, positional->y};
                const Point offset{positional->dx, positional->dy};
                positional->x += kOutOfReach;
                positional->y += kOutOfReach;
                positional->dx += kOutOfReach;
                positional->dy += kOutOfReach;
                content->CollectReceivers(signal, true);
                positional->x = point.x;
                positional->y = point.y;
                // A receiver that took the shifted offset over keeps it; an offset
                // nobody took goes back to what it was.
                if (positional->dx == offset.x + kOutOfReach && positional->dy == offset.y + kOutOfReach) {
                    positional->dx = offset.x;
                    positional->dy = offset.y;
                }
            }
        } else {
            content->CollectReceivers(signal, true);
        }
    }
    GuiObject::CollectReceivers(signal, false);
}

} // namespace Vabo
