#pragma once
// A sound card's mixer as the audio engine sees it: named elements with
// playback or capture volumes (always on the scale 0..65535, whatever the
// card's own range), switches and capture-source enumerations, and a poll for
// changes made elsewhere. AlsaMixer is the real one; tests may hand in others.
#include <memory>
#include <string>
#include <vector>

namespace Platform {

struct MixerElement {
    std::string name;
    bool playbackVolume = false;
    bool captureVolume = false;
    bool playbackSwitch = false;
    bool captureSwitch = false;
    // A capture-source choice; its items name the inputs.
    bool captureEnum = false;
    std::vector<std::string> enumItems;
    int playbackChannels = 0;
    int captureChannels = 0;
};

class MixerBackend {
public:
    static constexpr unsigned VolumeMax = 65535;

    virtual ~MixerBackend() = default;

    // Every element; an element's index in this list is its id in the calls below.
    virtual const std::vector<MixerElement>& Elements() const = 0;
    virtual bool GetVolume(int element, bool capture, int channel, unsigned& value) = 0;
    // channel -1 sets every channel.
    virtual bool SetVolume(int element, bool capture, int channel, unsigned value) = 0;
    virtual bool GetSwitch(int element, bool capture, bool& on) = 0;
    virtual bool SetSwitch(int element, bool capture, bool on) = 0;
    virtual bool GetEnumItem(int element, unsigned& item) = 0;
    virtual bool SetEnumItem(int element, unsigned item) = 0;
    // Takes the changes reported since the last call, waiting for a sound
    // server that must be asked for them at most the window's wait (see
    // SoundServerCalls.h; one that did not answer in it loses the mixer);
    // returns the ids of the elements whose values changed.
    virtual std::vector<int> Poll() = 0;
    // True once the connection to the mixer is gone (the sound server went
    // away); every call fails from then on and the mixer must be opened anew.
    virtual bool Lost() const { return false; }
};

} // namespace Platform
