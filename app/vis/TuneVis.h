#pragma once
// The tuner's main display ("TuneVis"): needle meters in cents and in hertz
// with analog and bar faces, the sliding note scale and an empty display, all
// of the measured and the desired frequency; a click shows the next one. It
// is given the notes of the chosen style, which its fret display marks.
#include "app/vis/AnalogMeter.h"
#include "app/vis/BlankVis.h"
#include "app/vis/FretVis.h"
#include "app/vis/LogMeter.h"
#include "app/vis/SimpleMeterVis.h"
#include "app/vis/SlidingMeterVis.h"
#include "app/vis/Vis.h"

#include "audio/MeterPolicy.h"
#include "audio/Note.h"

#include <memory>
#include <vector>

class TuneVis : public Vis {
public:
    // The pitch tracker's and the application state's frequencies.
    explicit TuneVis(TiXmlElement* element);
    TuneVis(TiXmlElement* element, ScalarSource measured, ScalarSource desired);
    ~TuneVis() override;

    bool LoadFromXML(TiXmlElement*) { return true; }

    // The needle positions the meters show: (f - lo) / (hi - lo) over the
    // scale around the desired frequency; the centre when the scale is empty.
    static ScalarSource HertzPosition(ScalarSource measured, ScalarSource desired, const HertzPolicy& policy);
    static ScalarSource CentsPosition(ScalarSource measured, ScalarSource desired);

    // Null when the skin has no "Fret" child.
    const FretVis* Fret() const { return fret_.get(); }

    // The notes of the style as they sound (transposed): each becomes a fret,
    // labelled with its name.
    void SetNotes(std::vector<Note> notes);
    const std::vector<Note>& Notes() const { return notes_; }

private:
    HertzPolicy ReadHertz(TiXmlElement* element);
    CentsPolicy ReadCents(TiXmlElement* element);

    ScalarSource measured_;
    ScalarSource desired_;
    HertzPolicy hertz_;
    CentsPolicy cents_;
    SimpleMeterVis<HertzPolicy, AnalogMeter> hertzAnalog_;
    SimpleMeterVis<CentsPolicy, AnalogMeter> centsAnalog_;
    SimpleMeterVis<HertzPolicy, LogMeter> hertzLog_;
    SimpleMeterVis<CentsPolicy, LogMeter> centsLog_;
    SlidingMeterVis sliding_;
    std::unique_ptr<FretVis> fret_;
    BlankVis blank_;
    std::vector<Note> notes_;
};
