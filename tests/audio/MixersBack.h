#pragma once
// The process's mixers open on the rig's sound server, or brought back to it
// after a test that stopped or restarted it. A mixer takes its opening, and
// notices that its server went away, only when it is polled (the program's
// clock polls every mixer; a test's clock may be its own, or not run); until
// then it answers what it last read.
#include "audio/MixerClient.h"
#include "audio/PlaybackMixer.h"
#include "audio/RecordMixer.h"
#include "audio/SoundRig.h"

namespace SoundRig {

// Polls the record and playback mixers until both read the server again
// (one that was lost is opened anew a second later, by the program's clock).
inline bool MixersReadTheServer(int milliseconds = 5000)
{
    const auto reads = [](MixerClient& mixer) {
        mixer.Poll();
        return mixer.IsOpen() && !mixer.Device()->Lost();
    };
    return WaitFor(
        [&] {
            const bool record = reads(RecordMixer::Instance());
            return reads(PlaybackMixer::Instance()) && record;
        },
        milliseconds);
}

} // namespace SoundRig
