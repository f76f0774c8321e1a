#pragma once
// What the record and playback mixers share: the mixer device, what the
// program wants of it (the controls registered for change reports with their
// callbacks, the values it wrote) and what it last read of it, and the poll
// that reports changes made elsewhere. Queries answer from what was last read
// and writes are sent without waiting, so no call waits for a slow sound
// server. Every mixer that opens, the first or a later one, is given again
// what the program wants of it, and a value found changed since the last
// reading is reported as any change is. Everything runs on the GUI thread,
// where the GUI clock polls every mixer.
#include "audio/MixerDevice.h"
#include "audio/MixerNotifyWindow.h"

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class MixerClient {
public:
    using ControlCallback = std::function<void(double value)>;
    // Mixer device n (0 is the "default" device) on its way to open, or null
    // when it cannot be opened at all.
    using Opener = std::function<std::unique_ptr<Platform::MixerBackend>(unsigned device)>;

    // Whether the sound server answers, asked without waiting: a lost mixer
    // is not opened again on a server that went silent. None: always tried.
    using ServerCheck = std::function<bool()>;

    explicit MixerClient(Opener opener, ServerCheck serverAnswers = {});
    virtual ~MixerClient() = default;
    MixerClient(const MixerClient&) = delete;
    MixerClient& operator=(const MixerClient&) = delete;

    static Opener AlsaOpener();
    // The sound libraries' own check, for mixers opened through them.
    static ServerCheck SoundServerCheck();

    // True when the mixer is open or on its way to open. Switching to another
    // device drops what was registered and written for the old one.
    bool Open(unsigned device);
    // A mixer that opened and has not gone away since.
    bool IsOpen() const { return device_ && !device_->Lost(); }
    // An opening is under way: its answer has not come yet.
    bool Opening() const { return opening_ != nullptr; }
    // The mixer last opened (it may be lost since); null before the first.
    MixerDevice* Device() { return device_.get(); }
    // Told each time a mixer opens, once what the program wants of it was
    // given to it: its lines may differ from the last one's.
    void AddOpenListener(const std::function<void()>& listener);

    // The control's present value becomes its last value; a later change
    // calls the callback once with the new value. A registration asked for
    // while no mixer is open is kept and made when one opens (false now).
    bool RegisterControl(const MixerLine& line, unsigned controlType, const ControlCallback& callback);
    bool UnregisterControl(const MixerLine& line, unsigned controlType);
    bool IsRegistered(unsigned controlId) const;
    // Stores the value as the control's last one; false when not registered.
    bool SetCachedValue(unsigned controlId, double value);

    // A control changed (or may have): when its value differs from the last
    // one, the new value is stored and then the callback runs.
    bool OnControlChange(unsigned controlId);
    // Takes what the mixer read since the last poll and reports every change
    // made elsewhere. A mixer that went away is opened again, at most once a
    // second while the sound server answers.
    void Poll();

    // Lines of a destination and its sources, in that order.
    int ListLines(std::vector<MixerLine>& out, unsigned destinationType) const;
    bool FindLine(unsigned destinationType, const std::function<bool(const MixerLine&)>& match, MixerLine& out) const;

    // Volume as a fraction of its control's range; -1.0 without one.
    double GetLineVolume(const MixerLine& line);
    double GetLineVolumeMax(const MixerLine& line) const;
    // Registered controls only; false (nothing written) otherwise. Written to
    // the mixer open now, and to every mixer that opens until the value is
    // changed elsewhere.
    bool SetLineVolume(const MixerLine& line, double fraction);

    // Milliseconds between two attempts to open a lost mixer again.
    static constexpr long long ReconnectIntervalMs = 1000;

protected:
    // A control as the program names it: its line and type, which every
    // opening of the same mixer maps the same way.
    using Key = std::pair<unsigned, unsigned>;
    struct Registration {
        MixerLine line;
        unsigned controlType;
        ControlCallback callback;
    };

    static Key KeyOf(const MixerLine& line, unsigned controlType) { return {line.lineId, controlType}; }
    bool KeyOf(unsigned controlId, Key& out) const;
    // Writes the value wanted of a control to the open mixer and keeps it
    // for the mixers that open later.
    bool Want(const MixerLine& line, unsigned controlType, unsigned value);
    // A mixer opened: what the program wants of it is applied again.
    virtual void ApplyWanted() { }

    Opener opener_;
    ServerCheck serverAnswers_;
    std::unique_ptr<MixerDevice> device_;
    unsigned deviceId_ = unsigned(-1);
    std::map<Key, Registration> registrations_;
    // Last value of each registered control read or written.
    std::map<Key, double> values_;
    // Values the program wrote, until a change made elsewhere replaces them.
    std::map<Key, unsigned> wanted_;

private:
    bool StartOpening();
    void TakeOpening();
    void Opened();
    bool Register(const Registration& registration, bool reportChange);
    void Reconnect();

    std::unique_ptr<Platform::MixerBackend> opening_;
    std::vector<std::function<void()>> openListeners_;
    bool lossLogged_ = false;
    bool polling_ = false;
    long long lastReconnectMs_ = 0;
    // Lets news posted from the call thread find the client while it lives.
    std::shared_ptr<MixerClient*> self_ = std::make_shared<MixerClient*>(this);
    MixerNotifyWindow notifications_{[this] { Poll(); }};
};
