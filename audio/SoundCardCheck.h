#pragma once
// The sound devices' mixers as the system finds them: the start-up check
// that one can be opened, and the list of those there are.
#include "audio/MixerTypes.h"

#include <vector>

// The mixer of sound device n (0: the "default" device) can be opened; it is
// closed again at once.
bool IsSoundCardPresent(unsigned device = 0);

// Every mixer device there is, under the id a mixer opens it by; their number.
int ListMixerDevices(std::vector<MixerCaps>& out);
