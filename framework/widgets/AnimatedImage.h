// A picture that plays a sequence of frames at a fixed rate on the GUI clock,
// forwards or backwards, looping or once. The frames are not children: the
// object draws its present frame itself and hands its position and size on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/GuiObject.h"
#include "framework/core/Signal.h"

namespace Vabo {

class Image;

class AnimatedImage : public GuiObject {
public:
    class SignalAnimateForwards : public Signal::Base {
    public:
        SignalAnimateForwards()
            : Base(Signal::TypeIdOf<SignalAnimateForwards>(), false)
        {
        }
        std::string Name() const override { return "AnimatedImage::SignalAnimateForwards"; }
    };

    class SignalAnimateBackwards : public Signal::Base {
    public:
        SignalAnimateBackwards()
            : Base(Signal::TypeIdOf<SignalAnimateBackwards>(), false)
        {
        }
        std::string Name() const override { return "AnimatedImage::SignalAnimateBackwards"; }
    };

    // Refuses (XMLLoadSaveException) a missing "AnimationRate" or one below 1.
    explicit AnimatedImage(TiXmlElement* element);
    ~AnimatedImage() override;

    virtual void OnTick(Signal::Base* signal, GuiObject* object);
    // Back to the first frame of the present direction, playing.
    virtual void Rewind();
    virtual void SlotAnimateForwards(Signal::Base* signal, GuiObject* object);
    virtual void SlotAnimateBackwards(Signal::Base* signal, GuiObject* object);
    // Stops and shows the first frame.
    virtual void SlotStopAnimating(Signal::Base* signal, GuiObject* object);

    bool SetPosition(int x, int y) override;
    bool SetSize(int width, int height) override;
    // Draws the frame chosen by the last step, then takes the step the clock asked for.
    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;

    bool LoadFromXML(TiXmlElement* element);

    int GetFrame() const { return frame_; }
    int GetFrameCount() const { return static_cast<int>(frames_.size()); }
    bool IsStopped() const { return stopped_; }
    bool IsBackwards() const { return backwards_; }
    int GetRate() const { return rate_; }

private:
    void Step();

    std::vector<std::shared_ptr<Image>> frames_;
    int frame_ = 0;
    // -1: the next tick's time becomes the start.
    std::int64_t lastFrameTime_ = 0;
    bool frameDue_ = false;
    int rate_ = 100;
    bool singleShot_ = false;
    bool stopped_ = false;
    bool backwards_ = false;
};

} // namespace Vabo
