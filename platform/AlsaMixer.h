#pragma once
// The ALSA simple-mixer API on a control device ("default": the card, or the
// sound server through its ALSA plugin) as a MixerBackend.
#include "platform/Clock.h"
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

// A mixer whose opening starts on the sound server's call thread and is
// never waited for: it is Ready once opened, Lost when it could not be
// (the reason logged) or went away later.
std::unique_ptr<MixerBackend> OpenAlsaMixer(const std::string& device = "default");

// Whether the mixer can be opened, attached and loaded (it is closed again at
// once), waiting for the answer at most withinMs: a server that does not
// answer by then is told from one that answered that there is no mixer.
enum class MixerCheck { Opens, Fails, NoAnswer };
MixerCheck CheckAlsaMixer(const std::string& device, Milliseconds withinMs);
// The same within the start-up bound: true when it opens.
bool AlsaMixerPresent(const std::string& device = "default");

} // namespace Platform
