#include "audio/PlaybackMixer.h"

#include "framework/core/Singleton.h"

#include <utility>
#include <vector>

PlaybackMixer& PlaybackMixer::Instance()
{
    return Vabo::SingletonHolder<PlaybackMixer>::Instance();
}

PlaybackMixer::PlaybackMixer()
    : PlaybackMixer(AlsaOpener(), SoundServerCheck())
{
}

PlaybackMixer::PlaybackMixer(Opener opener, ServerCheck serverAnswers)
    : MixerClient(std::move(opener), std::move(serverAnswers))
{
    Open(0);
}

bool PlaybackMixer::FindLineByComponentType(unsigned componentType, MixerLine& out) const
{
    return FindLine(
        MixerComponent::DstSpeakers, [&](const MixerLine& l) { return l.componentType == componentType; }, out);
}

bool PlaybackMixer::HasControl(unsigned componentType, unsigned controlType) const
{
    MixerLine line;
    MixerControl control;
    return FindLineByComponentType(componentType, line) && device_->GetControlOfLine(line, controlType, control);
}

bool PlaybackMixer::RegisterControlOfComponentType(unsigned componentType, const ControlCallback& callback,
                                                   unsigned controlType)
{
    MixerLine line;
    return FindLineByComponentType(componentType, line) && RegisterControl(line, controlType, callback);
}

bool PlaybackMixer::SetVolumeOfComponentType(unsigned componentType, double fraction)
{
    MixerLine line;
    return FindLineByComponentType(componentType, line) && SetLineVolume(line, fraction);
}

double PlaybackMixer::GetVolumeOfComponentType(unsigned componentType)
{
    MixerLine line;
    return FindLineByComponentType(componentType, line) ? GetLineVolume(line) : -1.0;
}

bool PlaybackMixer::SetBalance(const MixerLine& line, double balance)
{
    const double v = GetLineVolume(line);
    if (v == -1.0)
        return false;
    balance_ = balance;
    if (v == 0.0)
        return true;
    MixerControl control;
    if (!device_->GetControlOfLine(line, MixerControlType::Volume, control))
        return false;
    std::vector<unsigned> channels;
    if (!device_->GetChannelValues(control.controlId, channels))
        return false;
    if (channels.size() != 2)
        return true;
    const double left = balance <= 0.5 ? v : 2.0 * (1.0 - balance) * v;
    const double right = balance >= 0.5 ? v : 2.0 * balance * v;
    const std::vector<unsigned> values{unsigned(control.maximum * left), unsigned(control.maximum * right)};
    return device_->SetChannelValues(control.controlId, values);
}

bool PlaybackMixer::SetBalanceOfComponentType(unsigned componentType, double balance)
{
    MixerLine line;
    return FindLineByComponentType(componentType, line) && SetBalance(line, balance);
}

double PlaybackMixer::GetBalance(const MixerLine& line)
{
    const double v = GetLineVolume(line);
    MixerControl control;
    std::vector<unsigned> channels;
    if (v == -1.0 || v == 0.0 || !device_->GetControlOfLine(line, MixerControlType::Volume, control)
        || !device_->GetChannelValues(control.controlId, channels) || channels.size() != 2)
        return balance_;
    const double l = channels[0] / double(control.maximum);
    const double r = channels[1] / double(control.maximum);
    return l == v ? (r / v) * 0.5 : 1.0 - (l / v) * 0.5;
}

double PlaybackMixer::GetBalanceOfComponentType(unsigned componentType)
{
    MixerLine line;
    return FindLineByComponentType(componentType, line) ? GetBalance(line) : 0.0;
}

bool PlaybackMixer::SetMute(const MixerLine& line, bool mute)
{
    MixerControl control;
    return device_ && device_->GetControlOfLine(line, MixerControlType::Mute, control)
        && Want(line, MixerControlType::Mute, mute ? 1 : 0);
}

bool PlaybackMixer::SetMuteOfComponentType(unsigned componentType, bool mute)
{
    MixerLine line;
    return FindLineByComponentType(componentType, line) && SetMute(line, mute);
}
