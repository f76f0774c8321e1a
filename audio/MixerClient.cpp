#include "audio/MixerClient.h"

#include "platform/AlsaMixer.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/PaAdapter.h"

#include <algorithm>
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
    if (device == deviceId_ && device_)
        return true;
    if (device != deviceId_)
        registrations_.clear();
    deviceId_ = device;
    std::unique_ptr<Platform::MixerBackend> backend = opener_ ? opener_(device) : nullptr;
    values_.clear();
    if (!backend)
        return false;
    device_ = std::make_unique<MixerDevice>(std::move(backend));
    return true;
}

bool MixerClient::RegisterControl(const MixerLine& line, unsigned controlType, const ControlCallback& callback)
{
    if (!Register(line, controlType, callback))
        return false;
    Forget(line, controlType);
    registrations_.push_back(Registration{line, controlType, callback});
    return true;
}

void MixerClient::Forget(const MixerLine& line, unsigned controlType)
{
    registrations_.erase(std::remove_if(registrations_.begin(), registrations_.end(),
                                        [&](const Registration& r) {
                                            return r.line.lineId == line.lineId && r.controlType == controlType;
                                        }),
                         registrations_.end());
}

bool MixerClient::Register(const MixerLine& line, unsigned controlType, const ControlCallback& callback)
{
    MixerControl control;
    if (!device_ || !device_->GetControlOfLine(line, controlType, control))
        return false;
    const double value = device_->GetControlValue(control.controlId);
    if (value == -1.0)
        return false;
    values_[control.controlId] = value;
    callbacks_[control.controlId] = callback;
    return true;
}

bool MixerClient::UnregisterControl(const MixerLine& line, unsigned controlType)
{
    MixerControl control;
    if (!device_ || !device_->GetControlOfLine(line, controlType, control))
        return false;
    Forget(line, controlType);
    return values_.erase(control.controlId) != 0;
}

bool MixerClient::SetCachedValue(unsigned controlId, double value)
{
    const auto it = values_.find(controlId);
    if (it == values_.end())
        return false;
    it->second = value;
    return true;
}

bool MixerClient::OnControlChange(unsigned controlId)
{
    const auto it = values_.find(controlId);
    MixerControl control;
    if (it == values_.end() || !device_->GetControlById(controlId, control))
        return false;
    const double value = device_->GetControlValue(controlId);
    if (value == -1.0)
        return false;
    if (value == it->second)
        return true;
    // Stored first: the callback may change the control again, and its own
    // write must then be compared with what it wrote, not with the old value.
    it->second = value;
    const auto callback = callbacks_.find(controlId);
    if (callback != callbacks_.end() && callback->second) {
        const ControlCallback run = callback->second;
        run(value);
    }
    return true;
}

void MixerClient::Poll()
{
    if (device_ && device_->Lost()) {
        Platform::Log("mixer: the mixer went away; it is opened again when it is back");
        device_.reset();
        values_.clear();
        callbacks_.clear();
        lastReconnectMs_ = Platform::NowMs();
        return;
    }
    if (!device_) {
        Reconnect();
        return;
    }
    for (unsigned id : device_->Poll())
        OnControlChange(id);
}

void MixerClient::Reconnect()
{
    if (deviceId_ == unsigned(-1) || !opener_ || Platform::NowMs() - lastReconnectMs_ < ReconnectIntervalMs)
        return;
    lastReconnectMs_ = Platform::NowMs();
    if (serverAnswers_ && !serverAnswers_())
        return;
    std::unique_ptr<Platform::MixerBackend> backend = opener_(deviceId_);
    if (!backend)
        return;
    device_ = std::make_unique<MixerDevice>(std::move(backend));
    Platform::Log("mixer: the mixer is back");
    for (const Registration& r : registrations_)
        Register(r.line, r.controlType, r.callback);
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
    const auto it = values_.find(control.controlId);
    if (it == values_.end())
        return false;
    // Stored before the write, so the change report the write causes finds
    // nothing new and calls no callback.
    it->second = double(raw);
    if (!device_->SetControlValue(control.controlId, raw))
        return false;
    // A card with a coarser range keeps the nearest step it has.
    const double stored = device_->GetControlValue(control.controlId);
    if (stored != -1.0)
        it->second = stored;
    return true;
}
