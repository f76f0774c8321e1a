#include "audio/SoundCardCheck.h"

#include "platform/AlsaMixer.h"

bool IsSoundCardPresent(unsigned device)
{
    return Platform::AlsaMixerPresent(Platform::MixerDeviceName(device));
}

SoundCard CheckSoundCard(unsigned device, Platform::Milliseconds withinMs)
{
    switch (Platform::CheckAlsaMixer(Platform::MixerDeviceName(device), withinMs)) {
    case Platform::MixerCheck::Opens:
        return SoundCard::Present;
    case Platform::MixerCheck::Fails:
        return SoundCard::Absent;
    case Platform::MixerCheck::NoAnswer:
        break;
    }
    return SoundCard::NoAnswer;
}

int ListMixerDevices(std::vector<MixerCaps>& out)
{
    out.clear();
    for (const Platform::AlsaMixerInfo& info : Platform::ListAlsaMixers())
        out.push_back(MixerCaps{info.device, info.name});
    return int(out.size());
}
