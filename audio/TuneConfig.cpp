#include "audio/TuneConfig.h"

#include "audio/AppState.h"

#include <charconv>

namespace {

// The whole text must be a number in the "C" locale: a curve point named
// "loud" is a broken configuration, not 0 Hz.
bool IsWholeNumber(const std::string& text)
{
    const char* start = text.c_str();
    const char* end = start + text.size();
    if (start != end && *start == '+')
        ++start;
    double value = 0.0;
    const auto result = std::from_chars(start, end, value);
    return result.ec == std::errc() && result.ptr == end && start != end;
}

// Mixer source identifiers are only compared.
constexpr Vabo::SkinRange<long> kInputIds{0, 1L << 30, Vabo::Beyond::Refuse};
// Decibels of a hearing curve.
constexpr Vabo::SkinRange<float> kHearingLevels{-200.0f, 200.0f, Vabo::Beyond::Clamp};
// The frequencies a hearing curve is named by: a name beyond them (or one
// that is no number) would make no sense as a key of the curve.
constexpr Vabo::SkinRange<float> kHearingFrequencies{0.0f, 100000.0f, Vabo::Beyond::Refuse};

} // namespace

TuneConfig::TuneConfig(TiXmlElement* element)
    : instruments_(OptionalChild(element, "InstrumentStore"))
    , notes_(OptionalChild(element, "NoteStore"))
    , transpositions_(OptionalChild(element, "TransposeStore"))
    , inputs_(OptionalChild(element, "InputStore"), kInputIds)
    , perceivedHearing_(OptionalChild(element, "PerceivedHearing"), kHearingLevels)
{
    // The curve's names are frequencies; one that is not would otherwise
    // only fail when the reference tone is built, far from the file at fault.
    if (TiXmlElement* curve = OptionalChild(element, "PerceivedHearing")) {
        for (TiXmlElement* data : GetChildren(curve, "Data")) {
            std::string name;
            ReadXmlAttribute(name, data, "Name", true);
            if (!IsWholeNumber(name))
                ThrowXmlError(data, "Name");
            float hz = 0.0f;
            ReadXmlAttribute(hz, data, "Name", true, kHearingFrequencies);
            hearingHz_.push_back(hz);
        }
    }
}

TiXmlElement* TuneConfig::OptionalChild(TiXmlElement* element, const char* tag)
{
    if (!element || !HasChild(element, tag))
        return nullptr;
    return GetChild(element, tag);
}

void TuneConfig::VisitStyle(const std::string& instrument, const std::string& style,
                            const std::function<void(const Note&)>& visitor) const
{
    Instrument found;
    if (!instruments_.Find(instrument, found))
        return;
    for (const Style& candidate : found.GetStyles()) {
        if (candidate.GetName() == style) {
            for (const Note& note : candidate.GetNotes())
                visitor(note);
            return;
        }
    }
}

float TuneConfig::TransposedFrequency(const Note& styleNote, const AppState& state) const
{
    const float frequency = notes_.GetFrequency(styleNote.GetName());
    // A note the table lacks has no pitch to move; stepping from 0 Hz would
    // hand out the table's lowest notes as if the style held them.
    if (frequency == 0.0f)
        return 0.0f;
    return state.TransposeFrequency(frequency, state.GetTransposeShift());
}

void TuneConfig::VisitPerceivedHearing(PerceivedHearingVisitor visitor) const
{
    const auto& entries = perceivedHearing_.GetEntries();
    for (std::size_t i = 0; i < entries.size() && i < hearingHz_.size(); ++i)
        visitor(hearingHz_[i], entries[i].second);
}
