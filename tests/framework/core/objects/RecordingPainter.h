#pragma once
// A real painter on a small off-screen picture that records the drawing pass:
// every object drawn, with the origin and opacity in force at that moment.
#include <cairo.h>

#include <string>
#include <vector>

#include "framework/core/GuiObject.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"

namespace ObjectsTest {

class RecordingPainter {
public:
    struct Draw {
        std::string name;
        float originX;
        float originY;
        float opacity;
    };

    operator GdiplusGfxLayer::Painter&() { return painter_; }
    float GetOpacity() const { return painter_.GetOpacity(); }

    void Record(const std::string& name)
    {
        double x = 0.0;
        double y = 0.0;
        cairo_user_to_device(painter_.GetGraphics(), &x, &y);
        draws.push_back(Draw{name, static_cast<float>(x), static_cast<float>(y), painter_.GetOpacity()});
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const Draw& draw : draws)
            names.push_back(draw.name);
        return names;
    }

    std::vector<Draw> draws;

private:
    // Larger than every scene drawn on it: the pass skips what lies off the surface.
    GdiplusGfxLayer::Image target_{200, 200};
    GdiplusGfxLayer::Painter painter_{target_};
};

// An object that records itself in a RecordingPainter under its name when drawn.
class DrawnObject : public Vabo::GuiObject {
public:
    DrawnObject(RecordingPainter& journal, const std::string& name, int x, int y, int width, int height)
        : GuiObject(1, 0)
        , journal_(journal)
    {
        SetName(name);
        SetPosition(x, y);
        SetSize(width, height);
    }

    bool DrawSelf(GdiplusGfxLayer::Painter&) override
    {
        journal_.Record(GetName());
        return true;
    }

private:
    RecordingPainter& journal_;
};

} // namespace ObjectsTest
