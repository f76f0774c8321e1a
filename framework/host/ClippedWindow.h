// A view onto one content object: the content is drawn shifted by a clip
// offset and cut to the view's own rectangle, and input outside the view
// never reaches it. The base of scrolling text and the view of scroll windows.
#pragma once

#include "framework/core/GuiObject.h"

namespace Vabo {

class ClippedWindow : public GuiObject {
public:
    // With sizeContent, every size given to the view is given to the content too.
    explicit ClippedWindow(bool sizeContent);
    ClippedWindow(GuiObject* content, bool sizeContent);
    ~ClippedWindow() override;

    void AddWindowOffsetX(int& x) override;
    void AddWindowOffsetY(int& y) override;
    bool SetPosition(int x, int y) override;
    bool SetSize(int width, int height) override;
    void UpdateLayout() override;
    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;
    bool Render(GdiplusGfxLayer::Painter& painter) override;
    void OnWindowActivated(Signal::Base* signal, GuiObject* object) override;
    void CollectReceivers(Signal::Base* signal, bool recurse) override;

    // Whether a signal may go on to the content (see CollectReceivers).
    virtual bool PassesToContent(Signal::Base* signal);
    // Replaces the content (the old one is removed, not destroyed).
    virtual bool SetContent(GuiObject* content);

    GuiObject* GetContent() const;
    bool HasContent() const { return GetContent() != nullptr; }
    // The content's point (x, y) is drawn at the view's top-left.
    void SetClipOffset(int x, int y);
    int GetClipOffsetX() const { return clipX_; }
    int GetClipOffsetY() const { return clipY_; }
    void SetSizeAndClipOffset(int width, int height, int x, int y);

private:
    GuiObject* content_ = nullptr;
    std::weak_ptr<void> contentWatch_;
    int clipX_ = 0;
    int clipY_ = 0;
    bool sizeContent_;
};

} // namespace Vabo
