#include "app/MetronomeLayout.h"

#include "app/AboutWindow.h"
#include "app/CaptionButton.h"
#include "app/ComboBox.h"
#include "app/SettingsStore.h"
#include "app/SettingsWriters.h"
#include "app/ShowMessageBox.h"
#include "app/StoredChoice.h"
#include "app/vis/ObjectSliderVis.h"
#include "app/vis/Vis.h"
#include "audio/AppState.h"
#include "audio/AudioDevice.h"
#include "audio/LoopBuffer.h"
#include "audio/RecordBuffer.h"
#include "audio/SampleFile.h"
#include "framework/core/DocMap.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/host/InMinimisedWindow.h"
#include "framework/host/Window.h"
#include "framework/widgets/EditBox.h"
#include "framework/widgets/EditBoxSignal.h"
#include "framework/widgets/InvalidateWhenShown.h"
#include "framework/widgets/LargeFocusContainer.h"
#include "framework/widgets/ObjectSlider.h"
#include "framework/widgets/ObjectSliderSignal.h"
#include "framework/core/SkinFileOf.h"
#include "framework/widgets/Text.h"
#include "framework/widgets/ToggleButton.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"

#include <algorithm>
#include <cstdio>
#include <locale>
#include <sstream>

namespace {

using Vabo::Signal::Activate;
using Vabo::Signal::ObjectReady;
using Vabo::Signal::ObjectVisibilityChange;

Vabo::RegisterClass<MetronomeLayout> metronomeClass("MetronomeLayout", "",
                                                    [](TiXmlElement* element) -> Vabo::GuiObject* {
                                                        return new MetronomeLayout(element);
                                                    });
Vabo::RegisterClassSlot<MetronomeLayout, Activate> playSlot("MetronomeLayout::PlayActiveSlot",
                                                            &MetronomeLayout::PlayActiveSlot);
Vabo::RegisterClassSlot<MetronomeLayout, Activate> recordSlot("MetronomeLayout::RecordActiveSlot",
                                                              &MetronomeLayout::RecordActiveSlot);
Vabo::RegisterClassSlot<MetronomeLayout, Activate> switchSlot("MetronomeLayout::SwitchClickedSlot",
                                                              &MetronomeLayout::SwitchClickedSlot);
Vabo::RegisterClassSlot<MetronomeLayout, Activate> helpSlot("MetronomeLayout::HelpActiveSlot",
                                                            &MetronomeLayout::HelpActiveSlot);
Vabo::RegisterClassSlot<MetronomeLayout, Activate> closeSlot("MetronomeLayout::CloseClickedSlot",
                                                             &MetronomeLayout::CloseClickedSlot);
Vabo::RegisterClassSlot<MetronomeLayout, Activate> minimiseSlot("MetronomeLayout::MinimiseClickedSlot",
                                                                &MetronomeLayout::MinimiseClickedSlot);
Vabo::RegisterClassSlot<MetronomeLayout, ObjectVisibilityChange> visibilitySlot("MetronomeLayout::VisibilityChangeSlot",
                                                                                &MetronomeLayout::VisibilityChangeSlot);
Vabo::RegisterClassSlot<MetronomeLayout, ObjectReady> readySlot("MetronomeLayout::PresetContainerReady",
                                                                &MetronomeLayout::PresetContainerReady);

const char* const Backdrop = "Background";
const char* const Recording = "SAMPLE";
const char* const Tone = "TONE";
const char* const Custom = "CUSTOM";
const char* const NoOutput = "Could not open output device! Stop other applications using your sound port";
const char* const NoInput = "Could not open input device! Stop other applications using your sound port";
const char* const OutputLost =
    "The sound output was lost: the sound server or the device went away. Press PLAY to try again";
const char* const InputLost = "The sound input was lost: the sound server or the device went away. The recording "
                              "stopped; press RECORD to try again";
const char* const BothLost = "The sound output and input were lost: the sound server or the device went away. The "
                             "recording stopped; press PLAY or RECORD to try again";
const char* const RecordingFull = "The recording stopped: it reached its limit of ten minutes. Choose SAMPLE to play "
                                  "it back";

const char* const RequiredObjects[] = {"AccentCombo",  "OutputCombo", "ACCENT",  "OUTPUT",
                                       "DesiredBpm",   "VisTitle",    "VisFreq", "VolumeInput",
                                       "VolumeOutput", "Play",        "Record",  "PresetContainer"};
const char* const Displays[] = {"MetronomeVis", "MetronomeSampleVis", "BeatLightVis"};

MetronomeLayout::Message& CurrentMessage()
{
    static MetronomeLayout::Message message;
    return message;
}

std::string EntryName(Vabo::GuiObject* object)
{
    if (!object || object->GetName() == Backdrop)
        return std::string();
    return object->GetName();
}

// Sound files of the configuration are named relative to the program's folder.
std::string SoundPath(const std::string& file)
{
    if (file.empty() || file.front() == '/')
        return file;
    const std::string& folder = DllDocMapInstance().GetAppFolder();
    if (folder.empty())
        return file;
    return folder.back() == '/' ? folder + file : folder + "/" + file;
}

bool ElapsedBeyond(Platform::Milliseconds since, float seconds)
{
    return double(Platform::NowMs() - since) * 0.001 > double(seconds);
}

// Makes dirty what a display must draw again to show its values: nothing of
// one that knows they did not change since its last frame (the input scope
// while nothing is captured, the beat displays while stopped), only where
// its parts moved of one that knows where they move (the beat gauge and
// markers), all of any other.
void RefreshDisplay(Vabo::GuiObject& display)
{
    if (auto* vis = dynamic_cast<Vis*>(&display)) {
        if (vis->ValuesChanged())
            vis->Refresh();
    } else if (auto* light = dynamic_cast<Vabo::ObjectSliderVis*>(&display)) {
        if (light->ValuesChanged())
            Vabo::InvalidateWhenShown(*light);
    } else {
        Vabo::InvalidateWhenShown(display);
    }
}

} // namespace

void MetronomeLayout::SetMessage(Message message)
{
    CurrentMessage() = std::move(message);
}

MetronomeLayout::MetronomeLayout(TiXmlElement* element)
    : GridLayout(element, true)
    , config_(GetChild(element, "Config"))
    , lastDisplayUpdate_(Platform::NowMs())
{
    RequireObjects();
    SetUnselectable(false);

    AudioDevice& device = AudioDevice::Instance();
    // The device outlives the screen: its listener asks whether the screen still lives.
    const std::weak_ptr<void> alive = Watch();
    device.AddOutputVolumeListener([this, alive] {
        if (!alive.expired())
            UpdateVolumeSliders();
    });
    device.AddLossListener([this, alive](AudioDevice::StreamKind kind) {
        if (!alive.expired())
            StreamLost(kind);
    });

    AppState& state = AppState::Instance();
    state.SetAccent(4);
    state.SetBpm(114);

    config_.ForEachAccent([this](const std::string& name) { accentEntries_.AddEntry(name); });
    FillCombo("AccentCombo", "ACCENT", accentEntries_, &MetronomeLayout::AccentEntrySlot);
    const std::string accent = config_.GetAccent(state.GetAccent());
    if (!accent.empty())
        SetChoiceText("ACCENT", accent);
    else
        state.SetAccent(config_.GetAccentValue(ChoiceText("ACCENT")));

    config_.ForEachSampleName([this](const std::string& name) { outputEntries_.AddEntry(name); });
    FillCombo("OutputCombo", "OUTPUT", outputEntries_, &MetronomeLayout::OutputEntrySlot);

    Find<Vabo::EditBox>("DesiredBpm")->AddSlot<Vabo::Signal::EditBoxSignal>(&MetronomeLayout::TempoEnteredSlot, this);
    Find<Vabo::ObjectSlider>("VolumeInput")
        ->AddSlot<Vabo::Signal::ObjectSliderSignal>(&MetronomeLayout::InputVolumeSlot, this);
    Find<Vabo::ObjectSlider>("VolumeOutput")
        ->AddSlot<Vabo::Signal::ObjectSliderSignal>(&MetronomeLayout::OutputVolumeSlot, this);
    UpdateVolumeSliders();
    FillPresetContainer();
    SetTempo(state.GetBpm());

    AddScheduledTickSlot(&MetronomeLayout::UpdateDisplays, this);
    lastDisplayUpdate_ = Platform::NowMs();
}

MetronomeLayout::~MetronomeLayout()
{
    SettingsWriters::Remove(this);
    // A screen that never showed its stored choices (a skin that failed after
    // building it) would overwrite them with its defaults.
    if (settingsLoaded_)
        SaveMetronomeSettings();
}

template <class T> T* MetronomeLayout::Find(const std::string& name)
{
    return dynamic_cast<T*>(DllGlobalObjectFactoryInstance().FindObject(this, name));
}

void MetronomeLayout::RequireObjects()
{
    std::string missing;
    const auto require = [&](const std::string& name, bool found) {
        if (!found)
            missing += (missing.empty() ? "" : ", ") + name;
    };
    for (const char* name : RequiredObjects)
        require(name, Find<Vabo::GuiObject>(name) != nullptr);
    require("DesiredBpm (as an edit box)", !Find<Vabo::GuiObject>("DesiredBpm") || Find<Vabo::EditBox>("DesiredBpm"));
    for (const char* name : {"VolumeInput", "VolumeOutput"})
        require(std::string(name) + " (as an object slider)",
                !Find<Vabo::GuiObject>(name) || Find<Vabo::ObjectSlider>(name));
    for (const char* name : {"Play", "Record"})
        require(std::string(name) + " (as a toggle button)",
                !Find<Vabo::GuiObject>(name) || Find<Vabo::ToggleButton>(name));
    require("PresetContainer (as a large focus container)",
            !Find<Vabo::GuiObject>("PresetContainer") || Find<Vabo::LargeFocusContainer>("PresetContainer"));
    for (const char* name : {"AccentCombo", "OutputCombo"})
        require(std::string(name) + " (as a combo box)", !Find<Vabo::GuiObject>(name) || Find<ComboBox>(name));
    for (const char* name : {"VisTitle", "VisFreq"})
        require(std::string(name) + " (as a text)", !Find<Vabo::GuiObject>(name) || Find<Vabo::Text>(name));
    for (const char* name : {"ACCENT", "OUTPUT"})
        require(std::string(name) + " (as a caption button)",
                !Find<Vabo::GuiObject>(name) || Find<CaptionButton>(name));
    if (!missing.empty()) {
        Platform::Log("MetronomeLayout: the skin " + Vabo::SkinFileOf(GetXmlElement()) + " lacks " + missing);
        throw XMLLoadSaveException();
    }
    for (const char* name : Displays)
        if (!Find<Vabo::GuiObject>(name))
            Platform::Log(std::string("MetronomeLayout: the skin has no display ") + name + "; it is left out");
}

Vabo::Window* MetronomeLayout::RootWindow()
{
    return dynamic_cast<Vabo::Window*>(GetRootObject());
}

void MetronomeLayout::Tell(const std::string& text)
{
    if (CurrentMessage())
        CurrentMessage()(text);
    else
        ShowMessageBox(text, "OK", RootWindow());
}

// ---- choices ----

// The controls were there when the screen was built; one may be gone while
// the screen is taken apart.
std::string MetronomeLayout::ChoiceText(const std::string& button)
{
    auto* choice = Find<CaptionButton>(button);
    return choice ? choice->GetButtonText() : std::string();
}

void MetronomeLayout::SetChoiceText(const std::string& button, const std::string& text)
{
    if (auto* choice = Find<CaptionButton>(button))
        choice->SetButtonText(text);
}

void MetronomeLayout::FillCombo(const std::string& comboName, const std::string& button, ComboPopulator& populator,
                                void (MetronomeLayout::*slot)(Vabo::Signal::Base*, Vabo::GuiObject*))
{
    const auto& names = populator.GetNames();
    SetChoiceText(button, names.empty() ? std::string() : names.front());
    auto* combo = Find<ComboBox>(comboName);
    combo->Populate(populator);
    for (Vabo::GuiObject* child : combo->GetChildren())
        child->AddSlot<Activate>(slot, this);
    combo->SetChoiceInEffect([this, button, alive = Watch()] {
        return alive.expired() ? std::string() : ChoiceText(button);
    });
}

bool MetronomeLayout::SelectAccent(const std::string& name)
{
    if (name.empty() || name == Backdrop)
        return false;
    const int beats = config_.GetAccentValue(name);
    if (beats < 1 || beats > LoopBuffer::MaxBeatsPerBar) {
        Platform::Log("MetronomeLayout: no accent pattern \"" + name + "\" of 1 to "
                      + std::to_string(LoopBuffer::MaxBeatsPerBar) + " beats; the accent stays");
        return false;
    }
    AppState::Instance().SetAccent(beats);
    SetChoiceText("ACCENT", name);
    RestartIfPlaying();
    return true;
}

bool MetronomeLayout::SelectOutput(const std::string& name)
{
    if (name.empty() || name == Backdrop)
        return false;
    SetChoiceText("OUTPUT", name);
    RestartIfPlaying();
    return true;
}

void MetronomeLayout::AccentEntrySlot(Vabo::Signal::Base*, Vabo::GuiObject* object)
{
    SelectAccent(EntryName(object));
}

void MetronomeLayout::OutputEntrySlot(Vabo::Signal::Base*, Vabo::GuiObject* object)
{
    SelectOutput(EntryName(object));
}

// ---- tempo and presets ----

void MetronomeLayout::FillPresetContainer()
{
    auto* container = Find<Vabo::LargeFocusContainer>("PresetContainer");
    presetEntries_.Clear();
    config_.ForEachPreset([this](const std::string& name) { presetEntries_.AddEntry(name); });
    container->RemoveAllObjects();
    presetEntries_.ForEachEntry(
        container->GetObjectXml(),
        [](Vabo::LargeFocusContainer* target, std::shared_ptr<Vabo::GuiObject> entry, int index, int count) {
            target->AddObject(entry, index, count);
        },
        container, presetEntries_.Count());
    for (const auto& wrapper : container->GetWrappers()) {
        wrapper->GetObject()->AddSlot<Activate>(&MetronomeLayout::PresetEntrySlot, this);
        wrapper->GetObject()->AddSlot<Vabo::Signal::ObjectDeselected>(&MetronomeLayout::PresetLeftSlot, this);
    }
    container->UpdateLayout();
}

bool MetronomeLayout::SetTempo(int bpm)
{
    if (bpm < 1) {
        Platform::Log("MetronomeLayout: a tempo of " + std::to_string(bpm) + " bpm is refused; it stays "
                      + std::to_string(AppState::Instance().GetBpm()));
        ShowTempo();
        return false;
    }
    AppState::Instance().SetBpm(bpm);
    ShowTempo();
    std::string preset = config_.GetPreset(bpm);
    // The skin may show the tempo large besides the box; the preset's name
    // above it then leaves out the tempo it ends with ("MODERATO 114").
    auto* big = Find<Vabo::Text>("VisBpm");
    if (big) {
        big->SetText(std::to_string(bpm));
        const std::string tempo = " " + std::to_string(bpm);
        if (preset.size() > tempo.size() && preset.compare(preset.size() - tempo.size(), tempo.size(), tempo) == 0)
            preset.erase(preset.size() - tempo.size());
    }
    if (auto* title = Find<Vabo::Text>("VisTitle"))
        title->SetText(preset.empty() ? Custom : preset);
    return true;
}

void MetronomeLayout::ShowTempo()
{
    if (auto* box = Find<Vabo::EditBox>("DesiredBpm"))
        box->SetText(std::to_string(AppState::Instance().GetBpm()));
}

std::string MetronomeLayout::TempoText()
{
    auto* box = Find<Vabo::EditBox>("DesiredBpm");
    return box ? box->GetText() : std::string();
}

std::string MetronomeLayout::TitleText()
{
    auto* title = Find<Vabo::Text>("VisTitle");
    return title ? title->GetText() : std::string();
}

bool MetronomeLayout::ParseTempo(const std::string& text, int& bpm)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    long value = 0;
    if (!(in >> value) || !(in >> std::ws).eof())
        return false;
    bpm = int(std::clamp<long>(value, MinBpm, MaxBpm));
    return true;
}

void MetronomeLayout::EnterTempo(const std::string& text)
{
    int bpm = 0;
    // What is not a whole number keeps the tempo; the box shows it again.
    if (!ParseTempo(text, bpm) || !SetTempo(bpm)) {
        ShowTempo();
        return;
    }
    SelectPreset(config_.GetPreset(AppState::Instance().GetBpm()));
    RestartIfPlaying();
}

void MetronomeLayout::TempoEnteredSlot(Vabo::Signal::Base* signal, Vabo::GuiObject*)
{
    EnterTempo(static_cast<Vabo::Signal::EditBoxSignal*>(signal)->text);
}

bool MetronomeLayout::SelectPreset(const std::string& name)
{
    auto* container = Find<Vabo::LargeFocusContainer>("PresetContainer");
    if (!container)
        return false;
    for (const auto& wrapper : container->GetWrappers()) {
        Vabo::GuiObject* entry = wrapper->GetObject();
        if (!name.empty() && entry->GetName() == name) {
            container->SetFocusObject(entry);
            return true;
        }
    }
    container->ArrangeEqually();
    return false;
}

void MetronomeLayout::PresetEntrySlot(Vabo::Signal::Base*, Vabo::GuiObject* object)
{
    if (!object || !SetTempo(config_.GetPresetValue(object->GetName())))
        return;
    RestartIfPlaying();
}

void MetronomeLayout::PresetLeftSlot(Vabo::Signal::Base*, Vabo::GuiObject* object)
{
    // The strip enlarges the preset under the pointer or the ring; once they
    // have left every preset, the large one is the tempo's preset again.
    auto* container = Find<Vabo::LargeFocusContainer>("PresetContainer");
    if (container && container->GetFocusOnSelect() && !container->HasSelectedObjectBesides(object))
        SelectPreset(config_.GetPreset(AppState::Instance().GetBpm()));
}

// ---- output and recording ----

bool MetronomeLayout::IsPlayActive()
{
    auto* play = Find<Vabo::ToggleButton>("Play");
    return play && play->GetState() == 1;
}

bool MetronomeLayout::IsRecordActive()
{
    auto* record = Find<Vabo::ToggleButton>("Record");
    return record && record->GetState() == 1;
}

void MetronomeLayout::StreamLost(AudioDevice::StreamKind kind)
{
    AudioDevice& device = AudioDevice::Instance();
    // The server takes both streams at once, and each loss is told on its
    // own: one box names every stream of this screen that is gone.
    const bool output = IsPlayActive() && (kind == AudioDevice::StreamKind::Output || device.OutputLost());
    const bool input = IsRecordActive() && (kind == AudioDevice::StreamKind::Capture || device.CaptureLost());
    if (output) {
        device.StopOutput();
        playingBeats_ = false;
        ResetToggle("Play");
    }
    if (input) {
        // What was recorded until then stays, to be played as the sample.
        device.StopInput();
        ResetToggle("Record");
    }
    if (output || input)
        TellInTurn(output && input ? BothLost : output ? OutputLost : InputLost);
}

void MetronomeLayout::TellInTurn(const std::string& text)
{
    // A box stays open in a loop of its own, on which the clock goes on: what
    // comes meanwhile is told once it closes, not in a box over it.
    queuedMessages_.push_back(text);
    if (queuedMessages_.size() > 1)
        return;
    while (!queuedMessages_.empty()) {
        Tell(queuedMessages_.front());
        queuedMessages_.pop_front();
    }
}

void MetronomeLayout::WatchRecording()
{
    // A recording keeps ten minutes: at the limit it stops as a press of
    // RECORD stops it, and what was recorded stays to be played.
    if (!IsRecordActive() || !RecordBuffer::Instance().IsFull())
        return;
    Record(false);
    ResetToggle("Record");
    TellInTurn(RecordingFull);
}

void MetronomeLayout::ResetToggle(const std::string& name)
{
    auto* toggle = Find<Vabo::ToggleButton>(name);
    if (!toggle || toggle->GetState() == 0)
        return;
    toggle->SetState(0);
    toggle->ShowState();
    Vabo::InvalidateWhenShown(*toggle);
}

void MetronomeLayout::RestartIfPlaying()
{
    if (IsPlayActive())
        Play(true);
}

std::string MetronomeLayout::PlayBeats(const std::string& sampleName)
{
    AppState& state = AppState::Instance();
    ClickGenerator normal, accent;
    AudioEntry entry;
    if (!sampleName.empty() && config_.FindSample(sampleName, entry)) {
        normal = SampleClick(SoundPath(entry.GetNormal()));
        accent = SampleClick(SoundPath(entry.GetAccent()));
    } else {
        const float frequency = state.GetReferenceFrequency();
        normal = ToneClick(frequency);
        accent = ToneClick(2.0f * frequency);
    }
    LoopBuffer& loop = LoopBuffer::Instance();
    if (!loop.BuildBeats(state.GetBpm(), state.GetAccent(), normal, accent))
        return "The clicks of " + (sampleName.empty() ? std::string(Tone) : sampleName)
            + " could not be made: their sound files cannot be read";
    AudioDevice& device = AudioDevice::Instance();
    // A running bar is replaced where it plays: the new one starts at the
    // next beat, whole, without the gap of a new stream.
    if (playingBeats_ && device.Output().IsActive())
        return std::string();
    device.StopOutput();
    loop.Restart();
    // Every buffer asks the loop for its next frames: the bar plays through
    // short buffers, not one buffer a bar long repeated.
    playingBeats_ = device.StartOutput(
                        LoopBuffer::Rate, OutputFrames,
                        [&loop](void* input, void* output, unsigned long frames, double outTime, void* userData) {
                            return loop.PlayCallback(input, output, frames, outTime, userData);
                        },
                        false)
        == 0;
    return playingBeats_ ? std::string() : NoOutput;
}

bool MetronomeLayout::Play(bool on)
{
    AudioDevice& device = AudioDevice::Instance();
    const std::string output = ChoiceText("OUTPUT");
    if (!on || output == Recording) {
        device.StopOutput();
        playingBeats_ = false;
    }
    if (!on)
        return true;
    std::string failure;
    if (output == Recording) {
        RecordBuffer& recording = RecordBuffer::Instance();
        recording.ResetPosition();
        // The beat displays count the recording by the tempo chosen, not by
        // the bar played last.
        LoopBuffer::Instance().Restart();
        if (device.StartOutput(RecordBuffer::Rate, OutputFrames, recording) != 0)
            failure = NoOutput;
    } else {
        failure = PlayBeats(output == Tone ? std::string() : output);
    }
    if (failure.empty())
        return true;
    device.StopOutput();
    playingBeats_ = false;
    ResetToggle("Play");
    Tell(failure);
    return false;
}

bool MetronomeLayout::Record(bool on)
{
    AudioDevice& device = AudioDevice::Instance();
    if (!on) {
        device.StopInput();
        return true;
    }
    RecordBuffer::Instance().Clear();
    if (device.StartInput(RecordBuffer::Rate, OutputFrames, RecordBuffer::Instance()) == 0)
        return true;
    ResetToggle("Record");
    Tell(NoInput);
    return false;
}

void MetronomeLayout::PlayActiveSlot(Vabo::Signal::Base*, Vabo::GuiObject* object)
{
    auto* toggle = dynamic_cast<Vabo::ToggleButton*>(object);
    Play(toggle ? toggle->GetState() == 1 : IsPlayActive());
}

void MetronomeLayout::RecordActiveSlot(Vabo::Signal::Base*, Vabo::GuiObject* object)
{
    auto* toggle = dynamic_cast<Vabo::ToggleButton*>(object);
    Record(toggle && toggle->GetState() == 1);
}

// ---- volumes ----

void MetronomeLayout::UpdateVolumeSliders()
{
    AudioDevice& device = AudioDevice::Instance();
    ignoreInputVolumeSignal_ = true;
    if (auto* slider = Find<Vabo::ObjectSlider>("VolumeInput"))
        slider->SetValue(device.GetInputVolume());
    ignoreInputVolumeSignal_ = false;
    ignoreOutputVolumeSignal_ = true;
    if (auto* slider = Find<Vabo::ObjectSlider>("VolumeOutput"))
        slider->SetValue(device.GetOutputVolume());
    ignoreOutputVolumeSignal_ = false;
}

// A slider's value goes to the device as it is: the device ignores values
// above 100, as the tuner's sliders rely on too.
void MetronomeLayout::InputVolumeSlot(Vabo::Signal::Base* signal, Vabo::GuiObject*)
{
    if (!ignoreInputVolumeSignal_)
        AudioDevice::Instance().SetInputVolume(static_cast<Vabo::Signal::ObjectSliderSignal*>(signal)->value);
    ignoreInputVolumeSignal_ = false;
}

void MetronomeLayout::OutputVolumeSlot(Vabo::Signal::Base* signal, Vabo::GuiObject*)
{
    if (!ignoreOutputVolumeSignal_)
        AudioDevice::Instance().SetOutputVolume(static_cast<Vabo::Signal::ObjectSliderSignal*>(signal)->value);
    ignoreOutputVolumeSignal_ = false;
}

// ---- periodic refresh ----

void MetronomeLayout::UpdateDisplays(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    const AppState& state = AppState::Instance();
    if (!IsVisible())
        return;
    // Minimised, nothing of this screen shows, and the title is not its: it
    // asks for no tick until the window comes back (its input starts the
    // clock again).
    if (Vabo::InMinimisedWindow(*this))
        return;
    const float wait = std::max(displayWait_, state.GetMetronomeUpdateInterval());
    if (!ElapsedBeyond(lastDisplayUpdate_, wait)) {
        Platform::RequestTickAt(Platform::FirstReadingBeyond(lastDisplayUpdate_, wait));
        return;
    }
    lastDisplayUpdate_ = Platform::NowMs();
    displayWait_ = DisplayWait(state.GetMetronomeUpdateInterval(), beatClock_.ToNextBeat());
    Platform::RequestTickAt(Platform::FirstReadingBeyond(lastDisplayUpdate_, displayWait_));
    // Written out only when the frequency moved.
    const float frequency = state.GetReferenceFrequency();
    if (!(frequency == formattedFrequency_)) {
        formattedFrequency_ = frequency;
        char text[64];
        std::snprintf(text, sizeof text, "%0.2f Hz", double(frequency));
        if (shownFrequency_ != text) {
            shownFrequency_ = text;
            if (auto* shown = Find<Vabo::Text>("VisFreq"))
                shown->SetText(text);
        }
    }
    for (const char* name : Displays)
        if (auto* display = Find<Vabo::GuiObject>(name))
            RefreshDisplay(*display);
}

float MetronomeLayout::DisplayWait(float interval, double toBeat)
{
    return toBeat >= double(interval) && toBeat < 2.0 * double(interval) ? float(toBeat) : interval;
}

// ---- slots named in the skin ----

void MetronomeLayout::SwitchClickedSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    AudioDevice& device = AudioDevice::Instance();
    if (IsPlayActive()) {
        device.StopOutput();
        playingBeats_ = false;
        ResetToggle("Play");
    }
    ResetToggle("Record");
    device.RestartCapture();
}

void MetronomeLayout::HelpActiveSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    AboutWindow::ShowFor(*this);
}

void MetronomeLayout::CloseClickedSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    AudioDevice& device = AudioDevice::Instance();
    if (device.Output().IsActive())
        device.StopOutput();
    playingBeats_ = false;
    if (Vabo::Window* root = RootWindow())
        root->Close();
}

void MetronomeLayout::MinimiseClickedSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    if (Vabo::Window* root = RootWindow())
        root->Minimize();
}

void MetronomeLayout::VisibilityChangeSlot(Vabo::Signal::Base* signal, Vabo::GuiObject*)
{
    if (!static_cast<ObjectVisibilityChange*>(signal)->visible)
        return;
    UpdateVolumeSliders();
    StartAnimation();
}

void MetronomeLayout::PresetContainerReady(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    if (settingsLoaded_)
        return;
    settingsLoaded_ = true;
    LoadMetronomeSettings();
    SettingsWriters::Add(this, [this] { SaveMetronomeSettings(); });
}

// ---- settings ----

void MetronomeLayout::LoadMetronomeSettings()
{
    SettingsStore& settings = SettingsStore::Instance();
    int bpm = settings.Get<int>("Bpm", 114);
    // A stored tempo is held to what can be typed.
    SetTempo(std::clamp(bpm, MinBpm, MaxBpm));
    SelectPreset(config_.GetPreset(AppState::Instance().GetBpm()));
    const std::string accent = StoredChoice(settings, "Accent", accentEntries_);
    if (!accent.empty())
        SelectAccent(accent);
    const std::string output = StoredChoice(settings, "Output", outputEntries_);
    if (!output.empty())
        SelectOutput(output);
    // A stored choice the store could not read is not replaced at the end by
    // what stands in for it, unless the user picks another.
    settings.UsedInstead("Accent", ChoiceText("ACCENT"));
    settings.UsedInstead("Output", ChoiceText("OUTPUT"));
}

void MetronomeLayout::SaveMetronomeSettings()
{
    SettingsStore& settings = SettingsStore::Instance();
    settings.Set("Bpm", AppState::Instance().GetBpm());
    // A control already gone shows no choice: what is stored for it stays.
    for (const auto& [key, button] : {std::pair<const char*, const char*>{"Accent", "ACCENT"}, {"Output", "OUTPUT"}})
        if (auto* choice = Find<CaptionButton>(button))
            settings.Set(key, choice->GetButtonText());
}
