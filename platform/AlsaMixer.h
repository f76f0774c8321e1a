#pragma once
// The ALSA simple-mixer API on a control device ("default": the card, or the
// sound server through its ALSA plugin) as a MixerBackend.
#include "platform/MixerBackend.h"

#include <memory>
#include <string>
#include <vector>

namespace Platform {

// The control device of sound device n: 0 is "default", n > 0 the card n - 1.
std::string MixerDeviceName(unsigned device);

// The mixers there are: device 0 ("default") when it can be opened, then
// every sound card as device card + 1, each with the card's name.
struct AlsaMixerInfo {
    unsigned device = 0;
    std::string name;
};
std::vector<AlsaMixerInfo> ListAlsaMixers();

// Null (with the reason logged) when the mixer cannot be opened and loaded.
std::unique_ptr<MixerBackend> OpenAlsaMixer(const std::string& device = "default");

// The sound-card check: the mixer can be opened, attached and loaded; it is
// closed again at once.
bool AlsaMixerPresent(const std::string& device = "default");

} // namespace Platform
