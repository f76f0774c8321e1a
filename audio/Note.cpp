#include "audio/Note.h"

namespace {

// Hertz: well beyond hearing, and a frequency no tone or estimate divides by
// zero or overflows with.
constexpr Vabo::SkinRange<float> kFrequencyRange{0.0f, 1.0e6f, Vabo::Beyond::Refuse};

} // namespace

Note::Note(const std::string& name, float frequency)
    : name_(name)
    , frequency_(frequency)
{
}

Note::Note(TiXmlElement* element, bool required)
{
    ReadXmlAttribute(name_, element, "Name", required);
    ReadXmlAttribute(frequency_, element, "Frequency", required, kFrequencyRange);
}
