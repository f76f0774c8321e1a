#include "app/MetronomeConfig.h"

MetronomeConfig::MetronomeConfig(TiXmlElement* element)
    : audioSamples_(GetChild(element, "AudioSamples"))
    , presets_(GetChild(element, "PresetStore"), Vabo::kSkinValue)
    , accents_(GetChild(element, "AccentStore"), Vabo::kSkinValue)
{
    if (audioSamples_.Entries().empty())
        ThrowXmlError(element, "AudioSamples (no \"Sample\" entries)");
    if (accents_.GetEntries().empty())
        ThrowXmlError(element, "AccentStore (no \"Data\" entries)");
}

void MetronomeConfig::ForEachPreset(const std::function<void(const std::string&)>& fn) const
{
    presets_.ForEach([&fn](const std::string& name, int) { fn(name); });
}

void MetronomeConfig::ForEachAccent(const std::function<void(const std::string&)>& fn) const
{
    accents_.ForEach([&fn](const std::string& name, int) { fn(name); });
}
