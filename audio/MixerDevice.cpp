#include "audio/MixerDevice.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

constexpr unsigned WaveInId = 0x00000;
constexpr unsigned SpeakersId = 0x10000;

unsigned ComponentOf(const std::string& name)
{
    if (name.compare(0, 3, "Mic") == 0)
        return MixerComponent::SrcMicrophone;
    if (name.compare(0, 4, "Line") == 0)
        return MixerComponent::SrcLine;
    return MixerComponent::SrcUndefined;
}

unsigned DestinationId(unsigned componentType)
{
    return componentType == MixerComponent::DstWaveIn ? WaveInId : SpeakersId;
}

} // namespace

MixerDevice::MixerDevice(std::unique_ptr<Platform::MixerBackend> backend)
    : backend_(std::move(backend))
{
    BuildCapture();
    BuildPlayback();
    for (LineRecord& l : lines_)
        l.line.controls = unsigned(ControlsOfLine(l.line).size());
}

unsigned MixerDevice::AddControl(ControlRecord record)
{
    record.control.controlId = unsigned(controls_.size() + 1);
    controls_.push_back(std::move(record));
    return controls_.back().control.controlId;
}

void MixerDevice::AddLine(unsigned lineId, unsigned componentType, unsigned channels, const std::string& name)
{
    LineRecord record;
    record.line.lineId = lineId;
    record.line.componentType = componentType;
    record.line.channels = channels;
    record.line.name = record.line.shortName = name;
    lines_.push_back(record);
}

void MixerDevice::AddElementControl(Kind kind, unsigned lineId, int element, bool capture)
{
    ControlRecord c;
    const bool volume = kind == Kind::Volume;
    c.control.controlType = volume ? MixerControlType::Volume : MixerControlType::Mute;
    c.control.lineId = lineId;
    c.control.maximum = volume ? Platform::MixerBackend::VolumeMax : 1;
    c.kind = kind;
    c.element = element;
    c.capture = capture;
    AddControl(c);
}

void MixerDevice::BuildCapture()
{
    const auto& elements = backend_->Elements();
    AddLine(WaveInId, MixerComponent::DstWaveIn, 1, "Recording");

    unsigned next = WaveInId + 1;
    int enumElement = -1;
    for (int e = 0; e < int(elements.size()); ++e) {
        const Platform::MixerElement& el = elements[std::size_t(e)];
        if (el.captureEnum && enumElement < 0)
            enumElement = e;
        if (el.captureEnum || !(el.captureVolume || el.captureSwitch))
            continue;
        const unsigned lineId = next++;
        AddLine(lineId, ComponentOf(el.name), unsigned(std::max(1, el.captureChannels)), el.name);
        if (el.captureVolume) {
            AddElementControl(Kind::Volume, lineId, e, true);
            // The server's or card's overall capture level is also the destination's.
            if (el.name == "Capture")
                AddElementControl(Kind::Volume, WaveInId, e, true);
        }
        if (el.captureSwitch)
            AddElementControl(Kind::Mute, lineId, e, true);
    }

    ControlRecord choice;
    choice.control.lineId = WaveInId;
    choice.control.maximum = 1;
    choice.kind = Kind::Choice;
    choice.capture = true;
    if (enumElement >= 0) {
        choice.control.controlType = MixerControlType::Mux;
        choice.element = enumElement;
        const auto& items = elements[std::size_t(enumElement)].enumItems;
        for (unsigned i = 0; i < items.size(); ++i) {
            auto it = std::find_if(lines_.begin(), lines_.end(), [&](const LineRecord& l) {
                return l.line.lineId != WaveInId && l.line.lineId < SpeakersId && l.line.name == items[i];
            });
            if (it == lines_.end()) {
                AddLine(next++, ComponentOf(items[i]), 1, items[i]);
                it = lines_.end() - 1;
            }
            it->enumItem = int(i);
            choice.items.push_back(MixerListItem{it->line.lineId, items[i]});
        }
    } else {
        choice.control.controlType = MixerControlType::Mixer;
        for (int e = 0; e < int(elements.size()); ++e) {
            const Platform::MixerElement& el = elements[std::size_t(e)];
            if (el.captureEnum || !el.captureSwitch)
                continue;
            for (const LineRecord& l : lines_)
                if (l.line.lineId != WaveInId && l.line.lineId < SpeakersId && l.line.name == el.name) {
                    choice.items.push_back(MixerListItem{l.line.lineId, el.name});
                    choice.itemElements.push_back(e);
                }
        }
    }
    choice.control.multipleItems = unsigned(choice.items.size());
    if (!choice.items.empty())
        AddControl(choice);
    lines_[0].line.connections = next - WaveInId - 1;
}

void MixerDevice::BuildPlayback()
{
    const auto& elements = backend_->Elements();
    const std::size_t destinationIndex = lines_.size();
    AddLine(SpeakersId, MixerComponent::DstSpeakers, 2, "Speakers");

    int wave = -1;
    for (const char* name : {"Master", "PCM"}) {
        for (int e = 0; e < int(elements.size()) && wave < 0; ++e)
            if (elements[std::size_t(e)].playbackVolume && elements[std::size_t(e)].name == name)
                wave = e;
    }
    unsigned next = SpeakersId + 1;
    for (int e = 0; e < int(elements.size()); ++e) {
        const Platform::MixerElement& el = elements[std::size_t(e)];
        if (!el.playbackVolume)
            continue;
        const unsigned lineId = next++;
        AddLine(lineId, e == wave ? MixerComponent::SrcWaveOut : MixerComponent::SrcUndefined,
                unsigned(std::max(1, el.playbackChannels)), el.name);
        AddElementControl(Kind::Volume, lineId, e, false);
        if (el.playbackSwitch)
            AddElementControl(Kind::Mute, lineId, e, false);
    }
    lines_[destinationIndex].line.connections = next - SpeakersId - 1;
}

int MixerDevice::ListSourceLines(std::vector<MixerLine>& out, unsigned destinationType) const
{
    out.clear();
    const unsigned destination = DestinationId(destinationType);
    for (const LineRecord& l : lines_) {
        if (l.line.lineId == destination && l.line.componentType == destinationType)
            out.insert(out.begin(), l.line);
        else if (l.line.lineId > destination && l.line.lineId < destination + 0x10000 && !out.empty())
            out.push_back(l.line);
    }
    return int(out.size());
}

bool MixerDevice::GetLineByComponentType(unsigned componentType, MixerLine& out) const
{
    for (const LineRecord& l : lines_)
        if (l.line.componentType == componentType) {
            out = l.line;
            return true;
        }
    return false;
}

const MixerDevice::ControlRecord* MixerDevice::Control(unsigned controlId) const
{
    return controlId >= 1 && controlId <= controls_.size() ? &controls_[controlId - 1] : nullptr;
}

const MixerDevice::LineRecord* MixerDevice::Line(unsigned lineId) const
{
    for (const LineRecord& l : lines_)
        if (l.line.lineId == lineId)
            return &l;
    return nullptr;
}

bool MixerDevice::GetControlOfLine(const MixerLine& line, unsigned controlType, MixerControl& out) const
{
    for (const ControlRecord& c : controls_)
        if (c.control.lineId == line.lineId && c.control.controlType == controlType) {
            out = c.control;
            return true;
        }
    return false;
}

bool MixerDevice::GetControlOfComponentType(unsigned componentType, unsigned controlType, MixerControl& out) const
{
    MixerLine line;
    return GetLineByComponentType(componentType, line) && GetControlOfLine(line, controlType, out);
}

bool MixerDevice::GetControlById(unsigned controlId, MixerControl& out) const
{
    const ControlRecord* c = Control(controlId);
    if (c)
        out = c->control;
    return c != nullptr;
}

std::vector<MixerControl> MixerDevice::ControlsOfLine(const MixerLine& line) const
{
    std::vector<MixerControl> out;
    for (const ControlRecord& c : controls_)
        if (c.control.lineId == line.lineId)
            out.push_back(c.control);
    return out;
}

int MixerDevice::FilterLinesByControlType(std::vector<MixerLine>& lines, unsigned controlType) const
{
    if (backend_->Lost())
        return -1;
    std::vector<MixerLine> kept;
    for (const MixerLine& line : lines) {
        if (!Line(line.lineId))
            return -1;
        MixerControl control;
        if (GetControlOfLine(line, controlType, control))
            kept.push_back(line);
    }
    lines = std::move(kept);
    return int(lines.size());
}

int MixerDevice::ChosenItem(const ControlRecord& c)
{
    if (c.control.controlType == MixerControlType::Mux) {
        unsigned item = 0;
        if (!backend_->GetEnumItem(c.element, item))
            return -2;
        for (std::size_t i = 0; i < c.items.size(); ++i) {
            const LineRecord* l = Line(c.items[i].param1);
            if (l && l->enumItem == int(item))
                return int(i);
        }
        return -1;
    }
    for (std::size_t i = 0; i < c.itemElements.size(); ++i) {
        bool on = false;
        if (!backend_->GetSwitch(c.itemElements[i], true, on))
            return -2;
        if (on)
            return int(i);
    }
    return -1;
}

bool MixerDevice::ReadControl(unsigned controlId, unsigned& value)
{
    const ControlRecord* c = Control(controlId);
    if (!c)
        return false;
    switch (c->kind) {
    case Kind::Volume: {
        std::vector<unsigned> values;
        if (!GetChannelValues(controlId, values) || values.empty())
            return false;
        value = *std::max_element(values.begin(), values.end());
        return true;
    }
    case Kind::Mute: {
        bool on = false;
        if (!backend_->GetSwitch(c->element, c->capture, on))
            return false;
        value = on ? 0 : 1;
        return true;
    }
    case Kind::Choice: {
        const int chosen = ChosenItem(*c);
        if (chosen == -2)
            return false;
        const LineRecord* l = chosen < 0 ? nullptr : Line(c->items[std::size_t(chosen)].param1);
        value = l ? l->line.componentType : 0;
        return true;
    }
    }
    return false;
}

double MixerDevice::GetControlValue(unsigned controlId)
{
    unsigned value = 0;
    return ReadControl(controlId, value) ? double(value) : -1.0;
}

double MixerDevice::GetControlValueSigned(unsigned controlId)
{
    unsigned value = 0;
    return ReadControl(controlId, value) ? double(std::int32_t(value)) : -1.0;
}

bool MixerDevice::SetControlValue(unsigned controlId, unsigned value)
{
    const ControlRecord* c = Control(controlId);
    if (!c)
        return false;
    switch (c->kind) {
    case Kind::Volume:
        return backend_->SetVolume(c->element, c->capture, -1, value);
    case Kind::Mute:
        return backend_->SetSwitch(c->element, c->capture, value == 0);
    case Kind::Choice:
        return false;
    }
    return false;
}

bool MixerDevice::SetControlBool(unsigned controlId, bool value)
{
    return SetControlValue(controlId, value ? 1 : 0);
}

bool MixerDevice::GetListItems(unsigned controlId, std::vector<MixerListItem>& out) const
{
    const ControlRecord* c = Control(controlId);
    if (!c || c->kind != Kind::Choice)
        return false;
    out = c->items;
    return true;
}

bool MixerDevice::GetListValues(unsigned controlId, std::vector<bool>& out)
{
    const ControlRecord* c = Control(controlId);
    if (!c || c->kind != Kind::Choice)
        return false;
    out.assign(c->items.size(), false);
    if (c->control.controlType == MixerControlType::Mixer) {
        for (std::size_t i = 0; i < c->itemElements.size(); ++i) {
            bool on = false;
            if (!backend_->GetSwitch(c->itemElements[i], true, on))
                return false;
            out[i] = on;
        }
        return true;
    }
    const int chosen = ChosenItem(*c);
    if (chosen == -2)
        return false;
    if (chosen >= 0)
        out[std::size_t(chosen)] = true;
    return true;
}

bool MixerDevice::SetListValues(unsigned controlId, const std::vector<bool>& values)
{
    const ControlRecord* c = Control(controlId);
    if (!c || c->kind != Kind::Choice || values.size() != c->items.size())
        return false;
    if (c->control.controlType == MixerControlType::Mixer) {
        bool ok = true;
        for (std::size_t i = 0; i < values.size(); ++i)
            ok = backend_->SetSwitch(c->itemElements[i], true, values[i]) && ok;
        return ok;
    }
    const auto it = std::find(values.begin(), values.end(), true);
    if (it == values.end())
        return false;
    const LineRecord* l = Line(c->items[std::size_t(it - values.begin())].param1);
    return l && backend_->SetEnumItem(c->element, unsigned(l->enumItem));
}

bool MixerDevice::GetChannelValues(unsigned controlId, std::vector<unsigned>& out)
{
    const ControlRecord* c = Control(controlId);
    if (!c || c->kind != Kind::Volume)
        return false;
    const Platform::MixerElement& el = backend_->Elements()[std::size_t(c->element)];
    const int channels = std::max(1, c->capture ? el.captureChannels : el.playbackChannels);
    out.assign(std::size_t(channels), 0);
    for (int ch = 0; ch < channels; ++ch)
        if (!backend_->GetVolume(c->element, c->capture, ch, out[std::size_t(ch)]))
            return false;
    return true;
}

bool MixerDevice::SetChannelValues(unsigned controlId, const std::vector<unsigned>& values)
{
    const ControlRecord* c = Control(controlId);
    if (!c || c->kind != Kind::Volume)
        return false;
    bool ok = true;
    for (std::size_t ch = 0; ch < values.size(); ++ch)
        ok = backend_->SetVolume(c->element, c->capture, int(ch), values[ch]) && ok;
    return ok;
}

std::vector<unsigned> MixerDevice::Poll()
{
    std::vector<unsigned> changed;
    for (int e : backend_->Poll()) {
        for (const ControlRecord& c : controls_) {
            const bool uses =
                c.element == e || std::find(c.itemElements.begin(), c.itemElements.end(), e) != c.itemElements.end();
            if (uses)
                changed.push_back(c.control.controlId);
        }
    }
    return changed;
}
