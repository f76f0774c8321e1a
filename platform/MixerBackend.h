#pragma once
// A sound card's mixer as the audio engine sees it: named elements with
// playback or capture volumes (always on the scale 0..65535, whatever the
// card's own range), switches and capture-source enumerations, and a poll for
// changes made elsewhere. AlsaMixer is the real one; tests may hand in others.
// A backend answers from what it last read and never waits for the card or
// the sound server: its writes go out after the call returns, and what it
// reads comes in with Poll.
#include <functional>
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

    // The mixer is open and its elements known. An opening may still be on
    // its way (it is asked again at each poll).
    virtual bool Ready() { return true; }
    // Called, on any thread, when the backend has news for Poll (its opening
    // ended, values read, a loss): the news is to be taken on the window's thread.
    virtual void OnNews(std::function<void()> /*tell*/) { }

    // Every element; an element's index in this list is its id in the calls below.
    virtual const std::vector<MixerElement>& Elements() const = 0;
    virtual bool GetVolume(int element, bool capture, int channel, unsigned& value) = 0;
    // channel -1 sets every channel.
    virtual bool SetVolume(int element, bool capture, int channel, unsigned value) = 0;
    virtual bool GetSwitch(int element, bool capture, bool& on) = 0;
    virtual bool SetSwitch(int element, bool capture, bool on) = 0;
    virtual bool GetEnumItem(int element, unsigned& item) = 0;
    virtual bool SetEnumItem(int element, unsigned item) = 0;
    // Takes the changes read since the last call and asks for the next ones;
    // returns the ids of the elements whose values changed elsewhere.
    virtual std::vector<int> Poll() = 0;
    // True once the mixer could not be opened, or its connection is gone (the
    // sound server went away): it answers what it last read, writes reach
    // nothing, and the mixer must be opened anew.
    virtual bool Lost() const { return false; }
};

} // namespace Platform
