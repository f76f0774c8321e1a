#include "audio/SoundCardCheck.h"

#include "platform/AlsaMixer.h"

bool IsSoundCardPresent(unsigned device)
{
    return Platform::AlsaMixerPresent(Platform::MixerDeviceName(device));
}
