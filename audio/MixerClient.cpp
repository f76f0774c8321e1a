#include "audio/MixerClient.h"

#include "platform/AlsaMixer.h"
#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "platform/Log.h"
#include "platform/PaAdapter.h"
#include "platform/Video.h"

#include <utility>

MixerClient::MixerClient(Opener opener, ServerCheck serverAnswers)
    : opener_(std::move(opener))
    , serverAnswers_(std::move(serverAnswers))
{
}

MixerClient::Opener MixerClient::AlsaOpener()
{
    return [](unsigned device) { return Platform::OpenAlsaMixer(Platform::MixerDeviceName(device)); };
}

MixerClient::ServerCheck MixerClient::SoundServerCheck()
{
    return [] { return Platform::Pa::ServerAnswers(0); };
}

bool MixerClient::Open(unsigned device)
{
    if (device == deviceId_ && (IsOpen() || opening_))
        return true;
    if (device != deviceId_) {
        registrations_.clear();
        values_.clear();
        wanted_.clear();
        device_.reset();
        opening_.reset();
    }
    deviceId_ = device;
    return StartOpening();
}

void MixerClient::AddOpenListener(const std::function<void()>& listener)
{
    openListeners_.push_back(listener);
}

bool MixerClient::StartOpening()
{
    std::unique_ptr<Platform::MixerBackend> backend = opener_ ? opener_(deviceId_) : nullptr;
    if (!backend)
        return false;
    // The news comes on the call thread; the client takes it on the window's,
    // at once when its loop takes events, else at its next poll.
    if (Platform::IsVideoStarted())
        backend->OnNews([client = std::weak_ptr<MixerClient*>(self_)] {
            Platform::EventLoop::Post([client] {
                if (const auto self = client.lock())
                    (*self)->Poll();
            });
        });
    opening_ = std::move(backend);
    TakeOpening();
    return true;
}

void MixerClient::TakeOpening()
{
    if (!opening_)
        return;
    if (opening_->Ready()) {
        device_ = std::make_unique<MixerDevice>(std::move(opening_));
        Opened();
    } else if (opening_->Lost()) {
        opening_.reset();
        lastReconnectMs_ = Platform::NowMs();
    }
}

void MixerClient::Opened()
{
    if (lossLogged_)
        Platform::Log("mixer: the mixer is back");
    lossLogged_ = false;
    // A registration may add others (a listener that watches a new line).
    const std::map<Key, Registration> registrations = registrations_;
    for (const auto& entry : registrations)
        Register(entry.second, true);
    ApplyWanted();
    const std::vector<std::function<void()>> listeners = openListeners_;
    for (const auto& listener : listeners)
        listener();
}

bool MixerClient::KeyOf(unsigned controlId, Key& out) const
{
    MixerControl control;
    if (!device_ || !device_->GetControlById(controlId, control))
        return false;
    out = {control.lineId, control.controlType};
    return true;
}

bool MixerClient::RegisterControl(const MixerLine& line, unsigned controlType, const ControlCallback& callback)
{
    const Registration registration{line, controlType, callback};
    if (IsOpen() && !Register(registration, false))
        return false;
    registrations_[KeyOf(line, controlType)] = registration;
    return IsOpen();
}

// On a mixer that just opened, a value the program wrote is written again
// and any other that differs from the last one read is reported.
bool MixerClient::Register(const Registration& registration, bool reportChange)
{
    MixerControl control;
    if (!IsOpen() || !device_->GetControlOfLine(registration.line, registration.controlType, control))
        return false;
    const double value = device_->GetControlValue(control.controlId);
    if (value == -1.0)
        return false;
    const Key key = KeyOf(registration.line, registration.controlType);
    const auto wanted = wanted_.find(key);
    if (reportChange && wanted != wanted_.end()) {
        // A source choice is written again by ApplyWanted.
        if (control.controlType == MixerControlType::Volume || control.controlType == MixerControlType::Mute)
            device_->SetControlValue(control.controlId, wanted->second);
        return true;
    }
    const auto last = values_.find(key);
    const bool changed = reportChange && last != values_.end() && last->second != value;
    values_[key] = value;
    if (changed && registration.callback) {
        const ControlCallback run = registration.callback;
        run(value);
    }
    return true;
}

bool MixerClient::UnregisterControl(const MixerLine& line, unsigned controlType)
{
    const Key key = KeyOf(line, controlType);
    values_.erase(key);
    wanted_.erase(key);
    return registrations_.erase(key) != 0;
}

bool MixerClient::IsRegistered(unsigned controlId) const
{
    Key key;
    return KeyOf(controlId, key) && registrations_.count(key) != 0;
}

bool MixerClient::SetCachedValue(unsigned controlId, double value)
{
    Key key;
    if (!KeyOf(controlId, key) || registrations_.count(key) == 0)
        return false;
    values_[key] = value;
    return true;
}

bool MixerClient::Want(const MixerLine& line, unsigned controlType, unsigned value)
{
    const Key key = KeyOf(line, controlType);
    if (registrations_.count(key) == 0)
        return false;
    // Stored before the write, so the change report the write causes finds
    // nothing new and calls no callback.
    values_[key] = double(value);
    wanted_[key] = value;
    MixerControl control;
    if (!IsOpen())
        return true;
    return device_->GetControlOfLine(line, controlType, control) && device_->SetControlValue(control.controlId, value);
}

bool MixerClient::OnControlChange(unsigned controlId)
{
    Key key;
    if (!IsOpen() || !KeyOf(controlId, key))
        return false;
    const auto it = values_.find(key);
    if (it == values_.end() || registrations_.count(key) == 0)
        return false;
    const double value = device_->GetControlValue(controlId);
    if (value == -1.0)
        return false;
    if (value == it->second)
        return true;
    // Changed elsewhere: from now on that is what the control is to keep.
    wanted_.erase(key);
    // Stored first: the callback may change the control again, and its own
    // write must then be compared with what it wrote, not with the old value.
    it->second = value;
    const ControlCallback run = registrations_[key].callback;
    if (run)
        run(value);
    return true;
}

void MixerClient::Poll()
{
    // A callback may open a modal loop, whose clock polls again.
    if (polling_)
        return;
    polling_ = true;
    TakeOpening();
    if (device_ && device_->Lost() && !lossLogged_) {
        Platform::Log("mixer: the mixer went away; it is opened again when it is back");
        lossLogged_ = true;
        lastReconnectMs_ = Platform::NowMs();
    }
    if (IsOpen()) {
        for (unsigned id : device_->Poll())
            OnControlChange(id);
    } else if (!opening_) {
        Reconnect();
    }
    polling_ = false;
}

void MixerClient::Reconnect()
{
    if (deviceId_ == unsigned(-1) || !opener_ || Platform::NowMs() - lastReconnectMs_ < ReconnectIntervalMs)
        return;
    lastReconnectMs_ = Platform::NowMs();
    if (serverAnswers_ && !serverAnswers_())
        return;
    StartOpening();
}

int MixerClient::ListLines(std::vector<MixerLine>& out, unsigned destinationType) const
{
    out.clear();
    return device_ ? device_->ListSourceLines(out, destinationType) : 0;
}

bool MixerClient::FindLine(unsigned destinationType, const std::function<bool(const MixerLine&)>& match,
                           MixerLine& out) const
{
    std::vector<MixerLine> lines;
    ListLines(lines, destinationType);
    for (const MixerLine& line : lines)
        if (match(line)) {
            out = line;
            return true;
        }
    return false;
}

double MixerClient::GetLineVolume(const MixerLine& line)
{
    MixerControl control;
    if (!device_ || !device_->GetControlOfLine(line, MixerControlType::Volume, control) || control.maximum == 0)
        return -1.0;
    // While no mixer is open, what was last read or written.
    const auto last = values_.find(KeyOf(line, MixerControlType::Volume));
    if (!IsOpen() && last != values_.end())
        return last->second / double(control.maximum);
    const double value = device_->GetControlValue(control.controlId);
    return value == -1.0 ? -1.0 : value / double(control.maximum);
}

double MixerClient::GetLineVolumeMax(const MixerLine& line) const
{
    MixerControl control;
    if (!device_ || !device_->GetControlOfLine(line, MixerControlType::Volume, control))
        return -1.0;
    return double(control.maximum);
}

bool MixerClient::SetLineVolume(const MixerLine& line, double fraction)
{
    MixerControl control;
    if (!device_ || !device_->GetControlOfLine(line, MixerControlType::Volume, control))
        return false;
    const double scaled = fraction * double(control.maximum);
    const unsigned raw = unsigned(scaled < 0.0 ? 0.0 : scaled + 0.5);
    return Want(line, MixerControlType::Volume, raw);
}
