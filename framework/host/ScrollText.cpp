#include "framework/host/ScrollText.h"

#include <tinyxml.h>

#include <algorithm>
#include <string>

#include "framework/core/InputSignals.h"
#include "framework/core/Registration.h"
#include "framework/core/RoundToInt.h"
#include "framework/core/SkinFileOf.h"
#include "framework/core/SkinLimits.h"
#include "framework/core/XmlDocument.h"
#include "framework/widgets/InvalidateWhenShown.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"

namespace Vabo {

namespace {

RegisterClass<ScrollText> scrollTextClass("Vabo::ScrollText", "$VABO/Objects/ScrollText/ScrollText.xml",
                                          [](TiXmlElement* element) -> GuiObject* { return new ScrollText(element); });

// The text moves at most ten times a second.
constexpr Platform::Milliseconds kStepMs = 100;

} // namespace

void ScrollText::Path::Add(const Segment& segment)
{
    segments_.push_back(segment);
    totalMs_ += segment.durationMs;
}

bool ScrollText::Path::Advance(int dt, float& dx, float& dy)
{
    dx = 0.0f;
    dy = 0.0f;
    if (segments_.empty())
        return false;
    if (dt >= totalMs_) {
        // Whole rounds at once: a late tick must not walk the path a segment
        // at a time.
        const int rounds = dt / totalMs_;
        for (const Segment& segment : segments_) {
            dx += static_cast<float>(rounds) * static_cast<float>(segment.durationMs) * segment.rateX;
            dy += static_cast<float>(rounds) * static_cast<float>(segment.durationMs) * segment.rateY;
        }
        dt -= rounds * totalMs_;
    }
    while (dt > 0) {
        int start = 0;
        const Segment* current = &segments_.back();
        int end = 0;
        for (const Segment& segment : segments_) {
            end += segment.durationMs;
            if (end > positionMs_) {
                current = &segment;
                break;
            }
            start = end;
        }
        if (end <= positionMs_)
            start = totalMs_ - current->durationMs;
        const int remaining = start + current->durationMs - positionMs_;
        if (dt < remaining) {
            dx += static_cast<float>(dt) * current->rateX;
            dy += static_cast<float>(dt) * current->rateY;
            positionMs_ += dt;
            return true;
        }
        dx += static_cast<float>(remaining) * current->rateX;
        dy += static_cast<float>(remaining) * current->rateY;
        positionMs_ += remaining;
        if (positionMs_ >= totalMs_)
            positionMs_ = 0;
        dt -= remaining;
    }
    return true;
}

ScrollText::ScrollText(TiXmlElement* element)
    : ClippedWindow(true)
    , label_(element)
    , lastTick_(Platform::NowMs())
{
    SetXmlElement(element);
    AddLoaderAndRun(element, [this](TiXmlElement* e) { return GuiObject::LoadFromXML(e); });
    RegisterLoader<ScrollText>(element, this);
    SetContent(&label_);
    AddScheduledTickSlot(&ScrollText::TickSlot, this);
}

ScrollText::~ScrollText()
{
    SetContent(nullptr);
}

bool ScrollText::LoadFromXML(TiXmlElement* element)
{
    Path path;
    for (TiXmlElement* animate : GetChildren(element, "Animate")) {
        Path::Segment segment{0, 0.0f, 0.0f};
        ReadXmlAttribute(segment.durationMs, animate, "TimeMs", true, kSkinTimeMs);
        ReadXmlAttribute(segment.rateX, animate, "X", true, kSkinFactor);
        ReadXmlAttribute(segment.rateY, animate, "Y", true, kSkinFactor);
        // A segment that lasts no time would never be left.
        if (segment.durationMs <= 0) {
            Platform::Log("ScrollText \"" + GetName() + "\" in " + SkinFileOf(animate) + ": TimeMs "
                          + std::to_string(segment.durationMs) + " is not a positive number of milliseconds");
            return false;
        }
        // The whole path is timed in an int, as one segment is.
        if (path.GetTotalMs() > kMaxAnimationMs - segment.durationMs) {
            Platform::Log("ScrollText \"" + GetName() + "\" in " + SkinFileOf(animate) + ": the Animate path is cut at "
                          + std::to_string(kMaxAnimationMs) + " ms");
            break;
        }
        path.Add(segment);
    }
    path_ = path;
    return true;
}

bool ScrollText::SetSize(int width, int height)
{
    label_.SetSize(width, height);
    label_.FitToText();
    const bool result = GuiObject::SetSize(width, height);
    scrollX_ = label_.GetWidth() > GetWidth();
    if (scrollX_)
        scaleX_ = static_cast<float>(label_.GetWidth() - GetWidth()) * 0.001f;
    scrollY_ = label_.GetHeight() > GetHeight();
    if (scrollY_)
        scaleY_ = static_cast<float>(label_.GetHeight() - GetHeight()) * 0.001f;
    posX_ = 0.0f;
    posY_ = 0.0f;
    path_.Restart();
    Platform::RequestNextTick();
    return result;
}

void ScrollText::TickSlot(Signal::Base*, GuiObject*)
{
    const Platform::Milliseconds now = Platform::NowMs();
    const Platform::Milliseconds dt = now - lastTick_;
    if (dt < kStepMs) {
        if (scrollX_ || scrollY_)
            Platform::RequestTickAt(lastTick_ + kStepMs);
        return;
    }
    lastTick_ = now;
    if (!scrollX_ && !scrollY_) {
        if (GetClipOffsetX() != 0 || GetClipOffsetY() != 0) {
            SetClipOffset(0, 0);
            InvalidateWhenShown(*this);
        }
        return;
    }
    float dx = 0.0f;
    float dy = 0.0f;
    Platform::RequestTickAt(now + kStepMs);
    if (!path_.Advance(static_cast<int>(std::min<Platform::Milliseconds>(dt, kMaxAnimationMs)), dx, dy))
        return;
    // A path that does not return drifts for ever: the offset stays a length.
    constexpr float kFarthest = kMaxSkinLength;
    posX_ = std::clamp(posX_ + dx * scaleX_, -kFarthest, kFarthest);
    posY_ = std::clamp(posY_ + dy * scaleY_, -kFarthest, kFarthest);
    SetClipOffset(RoundToIntSize(posX_), static_cast<int>(posY_ + 0.5f));
    InvalidateWhenShown(*this);
}

} // namespace Vabo
