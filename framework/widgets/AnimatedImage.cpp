#include "framework/widgets/AnimatedImage.h"

#include <tinyxml.h>

#include "framework/core/InputSignals.h"
#include "framework/core/Registration.h"
#include "framework/core/XmlDocument.h"
#include "framework/widgets/Image.h"
#include "framework/widgets/InvalidateWhenShown.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"

namespace Vabo {

namespace {

RegisterClass<AnimatedImage> animatedImageClass("Vabo::AnimatedImage", "$VABO/Objects/AnimatedImage/AnimatedImage.xml",
                                                [](TiXmlElement* element) -> GuiObject* {
                                                    return new AnimatedImage(element);
                                                });
SignalRegistrar<AnimatedImage::SignalAnimateForwards> forwardsSignal("Vabo::AnimatedImage::SignalAnimateForwards");
SignalRegistrar<AnimatedImage::SignalAnimateBackwards> backwardsSignal("Vabo::AnimatedImage::SignalAnimateBackwards");
RegisterClassSlot<AnimatedImage, Signal::Base> stopSlot("Vabo::AnimatedImage::SlotStopAnimating",
                                                        &AnimatedImage::SlotStopAnimating);
RegisterClassSlot<AnimatedImage, Signal::Base> forwardsSlot("Vabo::AnimatedImage::SlotAnimateForwards",
                                                            &AnimatedImage::SlotAnimateForwards);
RegisterClassSlot<AnimatedImage, Signal::Base> backwardsSlot("Vabo::AnimatedImage::SlotAnimateBackwards",
                                                             &AnimatedImage::SlotAnimateBackwards);

} // namespace

AnimatedImage::AnimatedImage(TiXmlElement* element)
    : GuiObject(element, 1, 0)
{
    RegisterLoader<AnimatedImage>(element, this);
    AddScheduledTickSlot(&AnimatedImage::OnTick, this);
    AddSlot<SignalAnimateForwards>(&AnimatedImage::SlotAnimateForwards, this);
    AddSlot<SignalAnimateBackwards>(&AnimatedImage::SlotAnimateBackwards, this);
}

AnimatedImage::~AnimatedImage() = default;

bool AnimatedImage::LoadFromXML(TiXmlElement* element)
{
    int rate = 0;
    ReadXmlAttribute(rate, element, "AnimationRate", true, kSkinTimeMs);
    std::string text;
    if (ReadXmlAttribute(text, element, "SingleShot", false) && text == "true")
        singleShot_ = true;
    if (ReadXmlAttribute(text, element, "Animate", false) && text == "false")
        stopped_ = true;
    if (rate < 1) {
        Platform::Log("AnimatedImage \"" + GetName() + "\" in " + XmlDocument::FileNameOf(element) + ": AnimationRate "
                      + std::to_string(rate) + " is below 1 millisecond");
        return false;
    }
    rate_ = rate;
    frames_.clear();
    for (TiXmlElement* child : GetChildren(element, "Image"))
        frames_.push_back(std::make_shared<Image>(child));
    return true;
}

void AnimatedImage::OnTick(Signal::Base* signal, GuiObject*)
{
    if (stopped_)
        return;
    const std::int64_t now = static_cast<Signal::Timer*>(signal)->elapsed;
    if (lastFrameTime_ == -1)
        lastFrameTime_ = now;
    if (now - lastFrameTime_ >= rate_) {
        frameDue_ = true;
        lastFrameTime_ = now;
        InvalidateWhenShown(*this);
    }
    Platform::RequestTickAt(Platform::NowMs() + (lastFrameTime_ + rate_ - now));
}

void AnimatedImage::Rewind()
{
    frame_ = backwards_ ? GetFrameCount() - 1 : 0;
    lastFrameTime_ = -1;
    stopped_ = false;
    Platform::RequestNextTick();
}

void AnimatedImage::SlotAnimateForwards(Signal::Base*, GuiObject*)
{
    backwards_ = false;
    Rewind();
}

void AnimatedImage::SlotAnimateBackwards(Signal::Base*, GuiObject*)
{
    backwards_ = true;
    Rewind();
}

void AnimatedImage::SlotStopAnimating(Signal::Base*, GuiObject*)
{
    stopped_ = true;
    frame_ = 0;
}

bool AnimatedImage::SetPosition(int x, int y)
{
    for (const auto& frame : frames_)
        frame->SetPosition(x, y);
    return GuiObject::SetPosition(x, y);
}

bool AnimatedImage::SetSize(int width, int height)
{
    if (!GetFixedSize()) {
        for (const auto& frame : frames_)
            frame->SetSize(width, height);
    }
    return GuiObject::SetSize(width, height);
}

bool AnimatedImage::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    if (frame_ >= 0 && frame_ < GetFrameCount())
        frames_[static_cast<std::size_t>(frame_)]->DrawSelf(painter);
    if (frameDue_) {
        frameDue_ = false;
        Step();
    }
    return true;
}

void AnimatedImage::Step()
{
    const int count = GetFrameCount();
    if (!backwards_) {
        if (++frame_ >= count) {
            if (singleShot_) {
                frame_ = count - 1;
                stopped_ = true;
            } else {
                frame_ = 0;
            }
        }
        return;
    }
    if (--frame_ < 0) {
        if (singleShot_) {
            frame_ = 0;
            stopped_ = true;
        } else {
            frame_ = count - 1;
        }
    }
}

} // namespace Vabo
