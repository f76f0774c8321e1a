#pragma once
// The sound devices' mixers as the system finds them: the start-up check
// that one can be opened, and the list of those there are.
#include "audio/MixerTypes.h"
#include "platform/Clock.h"

#include <vector>

// The mixer of sound device n (0: the "default" device) can be opened; it is
// closed again at once. Waits for a sound server behind it at most the
// start-up bound (it runs before any window shows).
bool IsSoundCardPresent(unsigned device = 0);

// The same, told apart: Absent only when the mixer truly cannot be opened;
// NoAnswer when it was not opened within withinMs (a server that does not
// answer, or not in time).
enum class SoundCard { Present, Absent, NoAnswer };
SoundCard CheckSoundCard(unsigned device, Platform::Milliseconds withinMs);

// Every mixer device there is, under the id a mixer opens it by; their number.
int ListMixerDevices(std::vector<MixerCaps>& out);
