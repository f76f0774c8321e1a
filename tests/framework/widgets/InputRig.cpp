#include "InputRig.h"

#include "framework/core/ObjectSignals.h"
#include "framework/drawing/Painter.h"

InputRig::InputRig(const std::string& document, int width, int height)
    : folders_(std::string(PELLORA_TEST_DATA) + "/inputs", std::string(PELLORA_SOURCE_DIR) + "/lib/VABO/XML")
{
    root_ = DllGlobalObjectFactoryInstance().Create(loader_.LoadXMLOrThrow(document));
    root_->SetScreenManager(&screens_);
    screens_.SetBaseRoot(root_.get());
    root_->SetSize(width, height);
    root_->UpdateLayout();
    Vabo::Signal::ConnectXMLSlots connect;
    screens_.Broadcast(connect, false);
}

InputRig::~InputRig()
{
    screens_.ClearBaseRoot();
}

void InputRig::Press(int x, int y)
{
    screens_.LeftButtonDown(Vabo::Point{x, y});
}

void InputRig::Release(int x, int y)
{
    screens_.LeftButtonUp(Vabo::Point{x, y});
}

void InputRig::Click(int x, int y)
{
    Press(x, y);
    Release(x, y);
}

void InputRig::Move(int x, int y)
{
    screens_.MouseMove(Vabo::Point{x, y}, true);
}

void InputRig::DoubleClick(int x, int y)
{
    screens_.LeftButtonDblClk(Vabo::Point{x, y});
}

void InputRig::Key(std::uint32_t code)
{
    screens_.KeyPress(code);
}

void InputRig::Type(const std::string& text)
{
    for (unsigned char c : text)
        Key(c);
}

void InputRig::Tick()
{
    screens_.Timer();
}

std::unique_ptr<GdiplusGfxLayer::Image> InputRig::Draw()
{
    auto picture = std::make_unique<GdiplusGfxLayer::Image>(root_->GetWidth(), root_->GetHeight());
    GdiplusGfxLayer::Painter painter(*picture);
    root_->Render(painter);
    return picture;
}
