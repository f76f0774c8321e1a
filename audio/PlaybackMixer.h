#pragma once
// The playback side of the mixer: the wave-out line's volume, stereo balance
// and mute, and reports of changes made elsewhere. Process-wide (GUI thread);
// use after destruction at exit throws std::logic_error "Dead Reference Detected".
#include "audio/MixerClient.h"

namespace Vabo {
template <class T> struct CreateWithExitRelease;
}

class PlaybackMixer : public MixerClient {
public:
    static PlaybackMixer& Instance();

    explicit PlaybackMixer(Opener opener, ServerCheck serverAnswers = {});

    bool FindLineByComponentType(unsigned componentType, MixerLine& out) const;
    bool HasControl(unsigned componentType, unsigned controlType) const;
    bool RegisterControlOfComponentType(unsigned componentType, const ControlCallback& callback, unsigned controlType);

    bool SetVolumeOfComponentType(unsigned componentType, double fraction);
    double GetVolumeOfComponentType(unsigned componentType);

    // Balance from 0 (left) to 1 (right) of a stereo line at its present volume.
    bool SetBalance(const MixerLine& line, double balance);
    bool SetBalanceOfComponentType(unsigned componentType, double balance);
    double GetBalance(const MixerLine& line);
    double GetBalanceOfComponentType(unsigned componentType);

    // The mute control must be registered.
    bool SetMute(const MixerLine& line, bool mute);
    bool SetMuteOfComponentType(unsigned componentType, bool mute);

private:
    friend struct Vabo::CreateWithExitRelease<PlaybackMixer>;
    PlaybackMixer();

    double balance_ = 0.5;
};
