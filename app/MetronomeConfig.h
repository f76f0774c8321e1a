#pragma once
// The metronome's "Config": its click sets, tempo presets and accent patterns.
#include "audio/AudioSamples.h"
#include "audio/SimpleStore.h"

#include <functional>
#include <string>

class MetronomeConfig : public XMLLoadSave {
public:
    MetronomeConfig() = default;
    // The XML error, naming the element, when "AudioSamples", "PresetStore" or
    // "AccentStore" is missing, or when the click sets or the accent patterns
    // are empty: the screen has nothing to show on its choice buttons then.
    explicit MetronomeConfig(TiXmlElement* element);

    // The name of the first preset (accent) of that value; empty when none.
    std::string GetPreset(int value) const { return presets_.FindName(value); }
    std::string GetAccent(int value) const { return accents_.FindName(value); }
    // The value of the first preset (accent) of that name; 0 when none.
    int GetPresetValue(const std::string& name) const { return presets_.GetValue(name); }
    int GetAccentValue(const std::string& name) const { return accents_.GetValue(name); }
    bool FindSample(const std::string& name, AudioEntry& out) const { return audioSamples_.Find(name, out); }

    void ForEachPreset(const std::function<void(const std::string&)>& fn) const;
    void ForEachAccent(const std::function<void(const std::string&)>& fn) const;
    void ForEachSampleName(const std::function<void(const std::string&)>& fn) const { audioSamples_.ForEachName(fn); }

private:
    AudioSamples audioSamples_;
    SimpleStore<int> presets_;
    SimpleStore<int> accents_;
};
