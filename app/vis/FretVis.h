#pragma once
// The fret display: a line across the middle in the "Analog" colour, a bar
// and a label for each fret of its table (a frequency and its name) spread
// over the range of the frets with a tenth of it as margin on either side,
// labels alternately above and below the line, and a marker in the "Main"
// colour at the value its source gives.
#include "app/vis/ValueSource.h"
#include "app/vis/VisBase.h"

#include "framework/drawing/Color.h"
#include "framework/drawing/Font.h"

#include <map>
#include <memory>
#include <string>

class FretVis : public VisBase {
public:
    FretVis(TiXmlElement* element, ScalarSource value);

    // The name of the configuration element a display reads it from.
    static const char* ConfigName() { return "Fret"; }

    // The "Color" of "Analog", of "Main" and of "Labels", and the "Font"
    // child of "Labels", all required.
    bool LoadFromXML(TiXmlElement* element);
    bool Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) override;

    // Replaces the frets: label by frequency in Hz. Frequencies that are not
    // above 0 (a note the configuration cannot place) mark no fret.
    void SetFrets(const std::map<float, std::string>& frets);
    const std::map<float, std::string>& Frets() const { return frets_; }

    // One fret's label in the label font sized to the area's height (a fifth
    // of it), centred on `centreX`: just above the fret bars when `above`,
    // else just below them.
    virtual void DrawLabel(GdiplusGfxLayer::Painter& painter, const Vabo::Rect& area, const std::string& text,
                           bool above, int centreX);

private:
    GdiplusGfxLayer::Color analogColor_;
    GdiplusGfxLayer::Color mainColor_;
    std::shared_ptr<GdiplusGfxLayer::Font> labelFont_;
    // The label font at the size last drawn, and the height it was made for.
    std::shared_ptr<GdiplusGfxLayer::Font> sizedFont_;
    int sizedFor_ = -1;
    GdiplusGfxLayer::Color labelColor_;
    ScalarSource value_;
    std::map<float, std::string> frets_;
};
