#include "app/vis/TuneVis.h"

#include "app/vis/CountLimit.h"
#include "app/vis/FrequencySources.h"
#include "app/vis/TuningScale.h"

#include "framework/core/Registration.h"

namespace {

Vabo::RegisterClass<TuneVis> tuneVisClass("TuneVis", "", [](TiXmlElement* element) -> Vabo::GuiObject* {
    return new TuneVis(element);
});

} // namespace

TuneVis::TuneVis(TiXmlElement* element)
    : TuneVis(element, MeasuredFrequencySource(), DesiredFrequencySource())
{
}

TuneVis::TuneVis(TiXmlElement* element, ScalarSource measured, ScalarSource desired)
    : Vis(element)
    , measured_(std::move(measured))
    , desired_(std::move(desired))
    , hertz_(ReadHertz(element))
    , cents_(ReadCents(element))
    , hertzAnalog_(GetChild(element, "Meter"), HertzPosition(measured_, desired_, hertz_), desired_, hertz_)
    , centsAnalog_(GetChild(element, "Meter"), CentsPosition(measured_, desired_), desired_, cents_)
    , hertzLog_(GetChild(element, "Meter"), HertzPosition(measured_, desired_, hertz_), desired_, hertz_)
    , centsLog_(GetChild(element, "Meter"), CentsPosition(measured_, desired_), desired_, cents_)
    , sliding_(GetChild(element, "SlidingMeter"), measured_, desired_)
    , fret_(HasChild(element, FretVis::ConfigName())
                ? std::make_unique<FretVis>(GetChild(element, FretVis::ConfigName()), desired_)
                : nullptr)
    , blank_(element)
{
    AddDisplay(centsAnalog_);
    AddDisplay(hertzAnalog_);
    AddDisplay(sliding_);
    AddDisplay(centsLog_);
    AddDisplay(hertzLog_);
    AddDisplay(blank_);
    RegisterLoader<TuneVis>(element, this);
    RestoreSelection();
}

TuneVis::~TuneVis()
{
    SaveSelection();
}

void TuneVis::SetNotes(std::vector<Note> notes)
{
    notes_ = std::move(notes);
    if (!fret_)
        return;
    std::map<float, std::string> frets;
    for (const Note& note : notes_)
        frets.emplace(note.GetFrequency(), note.GetName());
    fret_->SetFrets(frets);
}

HertzPolicy TuneVis::ReadHertz(TiXmlElement* element)
{
    TiXmlElement* child = GetChild(element, "Hertz");
    HertzPolicy policy;
    ReadXmlAttribute(policy.range, child, "Width", true, CountLimit::HertzWidth);
    ReadXmlAttribute(policy.unit, child, "Unit", true);
    return policy;
}

CentsPolicy TuneVis::ReadCents(TiXmlElement* element)
{
    CentsPolicy policy;
    ReadXmlAttribute(policy.unit, GetChild(element, "Cents"), "Unit", true);
    return policy;
}

ScalarSource TuneVis::HertzPosition(ScalarSource measured, ScalarSource desired, const HertzPolicy& policy)
{
    return [measured, desired, policy] { return ScalePosition(BoundsOf(policy, desired()), measured()); };
}

ScalarSource TuneVis::CentsPosition(ScalarSource measured, ScalarSource desired)
{
    return [measured, desired] { return ScalePosition(CentsBounds(desired()), measured()); };
}
