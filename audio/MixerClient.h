#pragma once
// What the record and playback mixers share: the open mixer device, the
// controls registered for change reports with their last values and
// callbacks, and the poll that reports changes made elsewhere. Everything runs
// on the GUI thread, where the GUI clock polls every mixer.
#include "audio/MixerDevice.h"
#include "audio/MixerNotifyWindow.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

class MixerClient {
public:
    using ControlCallback = std::function<void(double value)>;
    // Opens mixer device n (0 is the "default" device); null when it cannot.
    using Opener = std::function<std::unique_ptr<Platform::MixerBackend>(unsigned device)>;

    // Whether the sound server answers, asked without waiting: a lost mixer
    // is not opened again on a server that went silent. Its answer may be
    // old (the server may have stopped again since): the opening asks again
    // and waits for a new one, within its bound. None: always tried.
    using ServerCheck = std::function<bool()>;

    explicit MixerClient(Opener opener, ServerCheck serverAnswers = {});
    virtual ~MixerClient() = default;
    MixerClient(const MixerClient&) = delete;
    MixerClient& operator=(const MixerClient&) = delete;

    static Opener AlsaOpener();
    // The sound libraries' own check, for mixers opened through them.
    static ServerCheck SoundServerCheck();

    // Switching to another device drops the registrations made for the old one.
    bool Open(unsigned device);
    bool IsOpen() const { return device_ != nullptr; }
    MixerDevice* Device() { return device_.get(); }

    // The control's present value becomes its last value; a later change
    // calls the callback once with the new value.
    bool RegisterControl(const MixerLine& line, unsigned controlType, const ControlCallback& callback);
    bool UnregisterControl(const MixerLine& line, unsigned controlType);
    bool IsRegistered(unsigned controlId) const { return values_.count(controlId) != 0; }
    // Stores the value as the control's last one; false when not registered.
    bool SetCachedValue(unsigned controlId, double value);

    // A control changed (or may have): when its value differs from the last
    // one, the new value is stored and then the callback runs.
    bool OnControlChange(unsigned controlId);
    // Reports every change made elsewhere since the last poll. A mixer whose
    // connection was lost is closed (every read then fails); it is opened
    // again, at most once a second while the sound server answers, and its
    // registrations are made anew.
    void Poll();

    // Lines of a destination and its sources, in that order.
    int ListLines(std::vector<MixerLine>& out, unsigned destinationType) const;
    bool FindLine(unsigned destinationType, const std::function<bool(const MixerLine&)>& match, MixerLine& out) const;

    // Volume as a fraction of its control's range; -1.0 without one.
    double GetLineVolume(const MixerLine& line);
    double GetLineVolumeMax(const MixerLine& line) const;
    // Registered controls only; false (nothing written) otherwise.
    bool SetLineVolume(const MixerLine& line, double fraction);

    // Milliseconds between two attempts to open a lost mixer again.
    static constexpr long long ReconnectIntervalMs = 1000;

protected:
    struct Registration {
        MixerLine line;
        unsigned controlType;
        ControlCallback callback;
    };

    bool Register(const MixerLine& line, unsigned controlType, const ControlCallback& callback);
    void Forget(const MixerLine& line, unsigned controlType);
    void Reconnect();

    Opener opener_;
    ServerCheck serverAnswers_;
    std::unique_ptr<MixerDevice> device_;
    unsigned deviceId_ = unsigned(-1);
    std::map<unsigned, double> values_;
    std::map<unsigned, ControlCallback> callbacks_;
    // What was registered, so that a reopened mixer gets it again.
    std::vector<Registration> registrations_;
    long long lastReconnectMs_ = 0;
    MixerNotifyWindow notifications_{[this] { Poll(); }};
};
