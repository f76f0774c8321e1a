#include "audio/SoundCardCheck.h"

#include "platform/AlsaMixer.h"

bool IsSoundCardPresent(unsigned device)
{
    return Platform::AlsaMixerPresent(Platform::MixerDeviceName(device));
}

int ListMixerDevices(std::vector<MixerCaps>& out)
{
    out.clear();
    for (const Platform::AlsaMixerInfo& info : Platform::ListAlsaMixers())
        out.push_back(MixerCaps{info.device, info.name});
    return int(out.size());
}
