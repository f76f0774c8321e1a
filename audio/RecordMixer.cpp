#include "audio/RecordMixer.h"

#include "framework/core/Singleton.h"

#include <utility>

RecordMixer& RecordMixer::Instance()
{
    return Vabo::SingletonHolder<RecordMixer>::Instance();
}

RecordMixer::RecordMixer()
    : RecordMixer(AlsaOpener(), SoundServerCheck())
{
}

RecordMixer::RecordMixer(Opener opener, ServerCheck serverAnswers)
    : MixerClient(std::move(opener), std::move(serverAnswers))
{
    Open(0);
}

int RecordMixer::GetInputLines(std::vector<MixerLine>& out) const
{
    ListLines(out, MixerComponent::DstWaveIn);
    if (!out.empty())
        out.erase(out.begin());
    return int(out.size());
}

int RecordMixer::GetOutputLines(std::vector<MixerLine>& out) const
{
    return ListLines(out, MixerComponent::DstSpeakers);
}

bool RecordMixer::FindLineByName(const std::string& name, MixerLine& out) const
{
    return FindLine(
        MixerComponent::DstWaveIn, [&](const MixerLine& l) { return l.name == name; }, out);
}

bool RecordMixer::FindLineByComponentType(unsigned componentType, MixerLine& out) const
{
    return FindLine(
        MixerComponent::DstWaveIn, [&](const MixerLine& l) { return l.componentType == componentType; }, out);
}

bool RecordMixer::HasControl(unsigned componentType, unsigned controlType) const
{
    MixerLine line;
    MixerControl control;
    return FindLineByComponentType(componentType, line) && device_->GetControlOfLine(line, controlType, control);
}

bool RecordMixer::RegisterControlOfComponentType(unsigned componentType, unsigned controlType,
                                                 const ControlCallback& callback)
{
    MixerLine line;
    return FindLineByComponentType(componentType, line) && RegisterControl(line, controlType, callback);
}

bool RecordMixer::UnregisterControlOfComponentType(unsigned componentType, unsigned controlType)
{
    MixerLine line;
    return FindLineByComponentType(componentType, line) && UnregisterControl(line, controlType);
}

bool RecordMixer::ChoiceControl(MixerControl& out) const
{
    MixerLine destination;
    if (!FindLineByComponentType(MixerComponent::DstWaveIn, destination))
        return false;
    return device_->GetControlOfLine(destination, MixerControlType::Mux, out)
        || device_->GetControlOfLine(destination, MixerControlType::Mixer, out);
}

bool RecordMixer::SelectInput(const MixerLine& line)
{
    MixerControl control;
    std::vector<MixerListItem> items;
    if (!ChoiceControl(control) || !device_->GetListItems(control.controlId, items))
        return false;
    std::vector<bool> chosen(items.size(), false);
    bool found = false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].param1 == line.lineId) {
            chosen[i] = true;
            found = true;
        }
    }
    if (!found || !IsRegistered(control.controlId))
        return false;
    // The choice reads back as the chosen line's component type; stored
    // before the write so that its own change report calls nothing.
    SetCachedValue(control.controlId, double(line.componentType));
    wanted_[Key{control.lineId, control.controlType}] = line.lineId;
    return !IsOpen() || device_->SetListValues(control.controlId, chosen);
}

void RecordMixer::ApplyWanted()
{
    MixerControl control;
    if (!ChoiceControl(control))
        return;
    const auto wanted = wanted_.find(Key{control.lineId, control.controlType});
    MixerLine line;
    if (wanted != wanted_.end()
        && FindLine(
            MixerComponent::DstWaveIn, [id = wanted->second](const MixerLine& l) { return l.lineId == id; }, line))
        SelectInput(line);
}

bool RecordMixer::SelectInputByComponentType(unsigned componentType)
{
    MixerLine line;
    return FindLineByComponentType(componentType, line) && SelectInput(line);
}

int RecordMixer::GetSelectedInput(MixerLine& out)
{
    MixerControl control;
    std::vector<MixerListItem> items;
    std::vector<bool> values;
    if (!ChoiceControl(control) || !device_->GetListItems(control.controlId, items)
        || !device_->GetListValues(control.controlId, values))
        return -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!values[i])
            continue;
        const unsigned id = items[i].param1;
        return FindLine(
                   MixerComponent::DstWaveIn, [id](const MixerLine& l) { return l.lineId == id; }, out)
            ? int(id)
            : -1;
    }
    return -1;
}

double RecordMixer::GetSelectedInputValue(MixerLine& out)
{
    const int id = GetSelectedInput(out);
    return id < 0 ? -1.0 : double(id);
}

double RecordMixer::IsInputSelected(const MixerLine& line)
{
    MixerControl control;
    std::vector<MixerListItem> items;
    std::vector<bool> values;
    if (!ChoiceControl(control) || !device_->GetListItems(control.controlId, items)
        || !device_->GetListValues(control.controlId, values))
        return -1.0;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].param1 == line.lineId)
            return values[i] ? 1.0 : 0.0;
    return -1.0;
}

double RecordMixer::IsInputSelectedOfComponentType(unsigned componentType)
{
    MixerLine line;
    return FindLineByComponentType(componentType, line) ? IsInputSelected(line) : -1.0;
}

bool RecordMixer::SetVolumeOfComponentType(unsigned componentType, double fraction)
{
    MixerLine line;
    return FindLineByComponentType(componentType, line) && SetLineVolume(line, fraction);
}

double RecordMixer::GetVolumeOfComponentType(unsigned componentType)
{
    MixerLine line;
    return FindLineByComponentType(componentType, line) ? GetLineVolume(line) : -1.0;
}

double RecordMixer::GetVolumeMaxOfComponentType(unsigned componentType) const
{
    MixerLine line;
    return FindLineByComponentType(componentType, line) ? GetLineVolumeMax(line) : -1.0;
}

double RecordMixer::GetDestinationVolume(unsigned componentType)
{
    return GetVolumeOfComponentType(componentType);
}

double RecordMixer::GetMute(unsigned componentType)
{
    MixerLine line;
    MixerControl control;
    if (!FindLineByComponentType(componentType, line)
        || !device_->GetControlOfLine(line, MixerControlType::Mute, control))
        return 0.0;
    const double value = device_->GetControlValueSigned(control.controlId);
    return value == -1.0 ? -1.0 : (value != 0.0 ? 1.0 : 0.0);
}
