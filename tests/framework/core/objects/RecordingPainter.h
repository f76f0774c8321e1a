#pragma once
// A painter that records the drawing pass: every object drawn with the origin and
// opacity in force at that moment.
#include <string>
#include <vector>

#include "framework/core/GuiObject.h"
#include "framework/core/PainterInterface.h"

namespace ObjectsTest {

class RecordingPainter : public Vabo::PainterInterface {
public:
    struct Draw {
        std::string name;
        float originX;
        float originY;
        float opacity;
    };

    float GetOpacity() const override { return opacity_; }
    void SetOpacity(float opacity) override { opacity_ = opacity; }
    void MultiplyOpacity(float factor) override { opacity_ *= factor; }
    void Translate(float dx, float dy) override
    {
        originX_ += dx;
        originY_ += dy;
    }

    void Record(const std::string& name) { draws.push_back(Draw{name, originX_, originY_, opacity_}); }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const Draw& draw : draws)
            names.push_back(draw.name);
        return names;
    }

    std::vector<Draw> draws;

private:
    float opacity_ = 1.0f;
    float originX_ = 0.0f;
    float originY_ = 0.0f;
};

// An object that draws itself into a RecordingPainter under its name.
class DrawnObject : public Vabo::GuiObject {
public:
    DrawnObject(const std::string& name, int x, int y, int width, int height)
        : GuiObject(1, 0)
    {
        SetName(name);
        SetPosition(x, y);
        SetSize(width, height);
    }

    bool DrawSelf(Vabo::PainterInterface& painter) override
    {
        static_cast<RecordingPainter&>(painter).Record(GetName());
        return true;
    }
};

} // namespace ObjectsTest
