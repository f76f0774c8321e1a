#pragma once
// A gauge of two columns: each is full at phase 0 and sinks toward the
// bottom as its phase grows (the beat on the left, the bar on the right).
// A refresh draws again only the rows its columns' tops passed since the
// last frame.
#include "app/vis/ShownParts.h"
#include "app/vis/ValueSource.h"
#include "app/vis/VisBase.h"
#include "framework/drawing/Color.h"

#include <limits>
#include <vector>

class BeatVis : public VisBase {
public:
    // The columns' colour from the required "Color".
    BeatVis(TiXmlElement* element, ScalarSource first, ScalarSource second);

    bool LoadFromXML(TiXmlElement* element);
    bool Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) override;
    // Whether either phase moved since it was last drawn.
    bool ValuesChanged() override;
    // For each moving part, where it was and where it goes (nothing while it
    // stays); all of the display the first time and after a move or resize.
    std::vector<Vabo::Rect> ChangedAreas(int x, int y, int width, int height) override;

    // The top of a column of that phase in a display h high: the phase's
    // share of h, rounded, at most h - 1, so a column never vanishes.
    static int ColumnTop(float phase, int height);

protected:
    // A part of the display that moves with the phases: where it stands, and
    // the pixels that set that state apart from the part's others (a
    // column's top row; for a part drawn over the background, all of it).
    struct Moving {
        int state;
        Vabo::Rect area;
    };

    // Draws the display at these phases into the rectangle.
    virtual void DrawPhases(GdiplusGfxLayer::Painter& painter, const Vabo::Rect& rect, float first, float second);
    // The moving parts at these phases, the same number for any.
    virtual std::vector<Moving> MovingParts(const Vabo::Rect& rect, float first, float second) const;

    ScalarSource first_;
    ScalarSource second_;
    GdiplusGfxLayer::Color color_;

private:
    // A display at another place or size shows nothing of what was drawn.
    void Place(const Vabo::Rect& rect);

    // None drawn yet: no phase equals them.
    float drawnFirst_ = std::numeric_limits<float>::quiet_NaN();
    float drawnSecond_ = std::numeric_limits<float>::quiet_NaN();
    Vabo::Rect placed_;
    // One for each moving part.
    std::vector<ShownParts> shown_;
};
