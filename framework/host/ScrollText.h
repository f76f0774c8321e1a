// A text label that may be larger than the space it is given: the label keeps
// its text's natural size, the view clips it, and when it does not fit it is
// moved along a looping path of timed segments whose rates are shares of the
// overflow per second, so one path suits any text.
#pragma once

#include <vector>

#include "framework/host/ClippedWindow.h"
#include "framework/widgets/Text.h"
#include "platform/Clock.h"

namespace Vabo {

class ScrollText : public ClippedWindow {
public:
    // The looping movement: segments followed one after another.
    class Path {
    public:
        struct Segment {
            int durationMs;
            float rateX;
            float rateY;
        };

        // Segments must last at least a millisecond: the loader refuses others.
        void Add(const Segment& segment);
        // Moves the position on by dt milliseconds (across as many segments and
        // loops as it spans) and sums each segment's rates times its share of dt.
        // False for an empty path.
        bool Advance(int dt, float& dx, float& dy);

        bool IsEmpty() const { return segments_.empty(); }
        int GetTotalMs() const { return totalMs_; }
        int GetPositionMs() const { return positionMs_; }
        void Restart() { positionMs_ = 0; }

    private:
        std::vector<Segment> segments_;
        int totalMs_ = 0;
        int positionMs_ = 0;
    };

    // Refuses (XMLLoadSaveException, naming the file) an "Animate" segment
    // without "TimeMs", "X" or "Y", or one that lasts no time.
    explicit ScrollText(TiXmlElement* element);
    ~ScrollText() override;

    // Gives the label its text's size and restarts the movement at (0, 0).
    bool SetSize(int width, int height) override;
    void TickSlot(Signal::Base* signal, GuiObject* object);

    bool LoadFromXML(TiXmlElement* element);

    Text& GetLabel() { return label_; }
    const Path& GetPath() const { return path_; }
    bool ScrollsX() const { return scrollX_; }
    bool ScrollsY() const { return scrollY_; }

private:
    Text label_;
    Path path_;
    Platform::Milliseconds lastTick_;
    bool scrollX_ = false;
    float posX_ = 0.0f;
    float scaleX_ = 0.0f;
    bool scrollY_ = false;
    float posY_ = 0.0f;
    float scaleY_ = 0.0f;
};

} // namespace Vabo
