#pragma once
// A strip of beat ticks 2.5 s before and after the present, around a centre
// line: a tick stands where the beat phase passes 0.99, full height where the
// bar phase does (before the accented beat), half height otherwise.
#include "app/vis/ValueSource.h"
#include "app/vis/VisBase.h"
#include "framework/drawing/Color.h"

#include <functional>
#include <memory>

namespace GdiplusGfxLayer {
class Pen;
}

class TimeVis : public VisBase {
public:
    using PhaseAt = std::function<float(float)>;

    // The centre line's colour and the ticks' from the required "Color".
    TimeVis(TiXmlElement* element, ScalarSource time, PhaseAt first, PhaseAt second);
    ~TimeVis() override;

    bool LoadFromXML(TiXmlElement* element);
    bool Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) override;

    struct Tick {
        int column; // 0 .. 2 * Steps - 1
        bool accent; // full height
    };
    static constexpr int Steps = 2500;
    static constexpr float TimeStep = 0.001f;
    static constexpr float TickThreshold = 0.99f;
    // The ticks of the strip around time t, left to right.
    std::vector<Tick> Ticks(float t) const;

private:
    PhaseAt first_;
    PhaseAt second_;
    ScalarSource time_;
    std::shared_ptr<GdiplusGfxLayer::Pen> pen_;
    int lineWidth_ = 2;
    GdiplusGfxLayer::Color color_;
};
