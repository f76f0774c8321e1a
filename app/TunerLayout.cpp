#include "app/TunerLayout.h"

#include "app/AboutWindow.h"
#include "app/CaptionButton.h"
#include "app/ComboBox.h"
#include "app/SettingsStore.h"
#include "app/SettingsWriters.h"
#include "app/ShowMessageBox.h"
#include "app/StoredChoice.h"
#include "app/vis/ObjectSliderVis.h"
#include "app/vis/TuneVis.h"
#include "app/vis/VisBase.h"
#include "audio/AppState.h"
#include "audio/AudioDevice.h"
#include "audio/LoopBuffer.h"
#include "audio/OctaveLookup.h"
#include "audio/PitchTracker.h"
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
#include "framework/widgets/Text.h"
#include "framework/widgets/ToggleButton.h"
#include "platform/FrameTrace.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"

#include <cmath>
#include <cstdio>
#include <locale>
#include <sstream>
#include <utility>

namespace {

using Vabo::Signal::Activate;
using Vabo::Signal::ObjectReady;
using Vabo::Signal::ObjectVisibilityChange;

// A display draws again what its sources' new values change on screen; one
// of another kind all of itself.
void RefreshDisplay(Vabo::GuiObject& display)
{
    if (auto* container = dynamic_cast<Vis*>(&display))
        container->Refresh();
    else if (auto* single = dynamic_cast<VisBase*>(&display))
        single->Refresh();
    else if (auto* lamp = dynamic_cast<Vabo::ObjectSliderVis*>(&display))
        lamp->Refresh();
    else
        Vabo::InvalidateWhenShown(display);
}

Vabo::RegisterClass<TunerLayout> tunerClass("TunerLayout", "", [](TiXmlElement* element) -> Vabo::GuiObject* {
    return new TunerLayout(element);
});
Vabo::RegisterClassSlot<TunerLayout, Activate> playSlot("TunerLayout::PlayActiveSlot", &TunerLayout::PlayActiveSlot);
Vabo::RegisterClassSlot<TunerLayout, Activate> autoSlot("TunerLayout::AutoSelectActiveSlot",
                                                        &TunerLayout::AutoSelectActiveSlot);
Vabo::RegisterClassSlot<TunerLayout, Activate> standbySlot("TunerLayout::StandbyActiveSlot",
                                                           &TunerLayout::StandbyActiveSlot);
Vabo::RegisterClassSlot<TunerLayout, Activate> helpSlot("TunerLayout::HelpActiveSlot", &TunerLayout::HelpActiveSlot);
Vabo::RegisterClassSlot<TunerLayout, Activate> closeSlot("TunerLayout::CloseClickedSlot",
                                                         &TunerLayout::CloseClickedSlot);
Vabo::RegisterClassSlot<TunerLayout, Activate> switchSlot("TunerLayout::SwitchClickedSlot",
                                                          &TunerLayout::SwitchClickedSlot);
Vabo::RegisterClassSlot<TunerLayout, ObjectVisibilityChange> visibilitySlot("TunerLayout::VisibilityChangeSlot",
                                                                            &TunerLayout::VisibilityChangeSlot);
Vabo::RegisterClassSlot<TunerLayout, Activate> minimiseSlot("TunerLayout::MinimiseClickedSlot",
                                                            &TunerLayout::MinimiseClickedSlot);
Vabo::RegisterClassSlot<TunerLayout, ObjectReady> readySlot("TunerLayout::NoteContainerReady",
                                                            &TunerLayout::NoteContainerReady);

constexpr float DefaultFrequency = 440.0f;
const char* const DefaultInput = "MIC";
constexpr float LowestFrequency = 16.0f;
constexpr float HighestFrequency = 6645.0f;
const char* const Backdrop = "Background";
const char* const NoInput = "INFO: There is no valid input line available";
const char* const NoCapture = "Could not open input device! Stop other applications using your sound port";
const char* const ManualPickWhileAuto = "INFO: To manually select a note to tune to, switch AUTO SELECT off.";
const char* const NoHelp = "No help file available";
const char* const InputLost = "SOUND INPUT LOST";
const char* const ToneLost =
    "The sound output was lost: the sound server or the device went away. Press PLAY to try again";
// While capture is lost, a new one is tried this often: the sound server may be back.
constexpr Platform::Milliseconds CaptureRetryMs = 1000;
// Capture changes to long buffers only once the window has been minimised
// this long: a quick look at another window keeps the capture as it runs.
constexpr Platform::Milliseconds SlowCaptureAfterMs = 1000;

TunerLayout::PitchSource& CurrentPitchSource()
{
    static TunerLayout::PitchSource source;
    return source;
}

TunerLayout::Question& CurrentQuestion()
{
    static TunerLayout::Question question;
    return question;
}

// ASCII letters raised; the other bytes of UTF-8 text are left as they are.
std::string Capitals(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return text;
}

std::string Format(const char* format, float value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, double(value));
    return text;
}

} // namespace

void TunerLayout::SetPitchSource(PitchSource source)
{
    CurrentPitchSource() = std::move(source);
}

void TunerLayout::SetQuestion(Question question)
{
    CurrentQuestion() = std::move(question);
}

TunerLayout::TunerLayout(TiXmlElement* element)
    : GridLayout(element, true)
    , lastDisplayUpdate_(Platform::NowMs())
    , lastWindowUpdate_(lastDisplayUpdate_)
    , config_(GetChild(element, "Config"))
{
    AppState& state = AppState::Instance();
    state.BuildNotes(config_.GetNoteStore());
    LoopBuffer::Instance().SetLoudnessCurve(config_);
    state.SetReferenceFrequency(DefaultFrequency);

    AudioDevice& device = AudioDevice::Instance();
    // The device outlives the screen: its listeners ask whether the screen still lives.
    const std::weak_ptr<void> alive = Watch();
    device.AddOutputVolumeListener([this, alive] {
        if (!alive.expired())
            UpdateVolumeSliders();
    });
    device.AddInputListener([this, alive](double componentType) {
        if (!alive.expired())
            OnInputLineChanged(componentType);
    });
    device.AddInputsListener([this, alive] {
        if (!alive.expired())
            InputsChanged();
    });
    // A lost capture shows on the display and is retried there; a lost
    // reference tone resets PLAY.
    device.AddLossListener([this, alive](AudioDevice::StreamKind kind) {
        if (!alive.expired() && kind == AudioDevice::StreamKind::Output)
            OutputLost();
    });
    SetUnselectable(false);

    config_.ForEachInstrumentName(&ComboPopulator::AddEntry, &instrumentEntries_);
    FillCombo("InstrumentCombo", "INST", instrumentEntries_, &TunerLayout::InstrumentEntrySlot);
    Instrument instrument;
    if (config_.FindInstrument(ChoiceText("INST"), instrument))
        FillStyles(instrument);
    config_.ForEachTransposeName(&ComboPopulator::AddEntry, &transposeEntries_);
    FillCombo("TransposeCombo", "TRANS", transposeEntries_, &TunerLayout::TransposeEntrySlot);
    // The notes are those of the transposition the button shows.
    state.SetTransposeShift(config_.GetTransposeStore().GetShift(ChoiceText("TRANS")));

    // A mixer not open yet lists its inputs when it opens.
    if (device.InputsListed() && device.GetInputs().empty())
        ShowMessageBox(NoInput, "OK");
    FillInputs();

    if (auto* slider = Find<Vabo::ObjectSlider>("VolumeInput"))
        slider->AddSlot<Vabo::Signal::ObjectSliderSignal>(&TunerLayout::InputVolumeSlot, this);
    if (auto* slider = Find<Vabo::ObjectSlider>("VolumeOutput"))
        slider->AddSlot<Vabo::Signal::ObjectSliderSignal>(&TunerLayout::OutputVolumeSlot, this);
    // Shown as read, never written back: a write would round the mixer's
    // value, and a failed read would mute the line.
    UpdateVolumeSliders();

    auto* standby = Find<Vabo::ToggleButton>("Standby");
    Standby(standby && standby->GetState() == 1);

    if (auto* box = Find<Vabo::EditBox>("DesiredFrequency")) {
        box->AddSlot<Vabo::Signal::EditBoxSignal>(&TunerLayout::DesiredFrequencyEnteredSlot, this);
        box->SetText(Format("%0.2f", state.GetReferenceFrequency()));
    }
    if (auto* slider = Find<Vabo::ObjectSlider>("ThresholdSlider")) {
        slider->AddSlot<Vabo::Signal::ObjectSliderSignal>(&TunerLayout::ThresholdSlot, this);
        slider->SetValue(state.Threshold);
    }
    RebuildNotes();

    lastDisplayUpdate_ = Platform::NowMs();
    lastWindowUpdate_ = lastDisplayUpdate_;
    lastSeenShown_ = lastDisplayUpdate_;
    AddScheduledTickSlot(&TunerLayout::UpdateTunerDisplay, this);
    SetAutoSelect(1);
    StartAnimation();
}

TunerLayout::~TunerLayout()
{
    SettingsWriters::Remove(this);
    // A screen that never showed its stored choices would overwrite them with
    // its defaults.
    if (settingsLoaded_)
        SaveTunerSettings();
    // The capture it started ends with it; the device outlives every screen.
    AudioDevice::Instance().StopInput();
}

bool TunerLayout::SetSize(int width, int height)
{
    GuiObject::SetSize(width, height);
    UpdateLayout();
    return true;
}

template <class T> T* TunerLayout::Find(const std::string& name)
{
    T* found = dynamic_cast<T*>(DllGlobalObjectFactoryInstance().FindObject(this, name));
    if (!found && missing_.insert(name).second)
        Platform::Log("TunerLayout: the skin has no " + name + "; what it does is left off");
    return found;
}

Vabo::Window* TunerLayout::RootWindow()
{
    return dynamic_cast<Vabo::Window*>(GetRootObject());
}

std::string TunerLayout::EntryName(Vabo::GuiObject* object)
{
    if (!object || object->GetName() == Backdrop)
        return std::string();
    return object->GetName();
}

bool TunerLayout::ElapsedBeyond(Platform::Milliseconds since, float seconds)
{
    return double(Platform::NowMs() - since) * 0.001 > double(seconds);
}

// ---- choice lists ----

std::string TunerLayout::ChoiceText(const std::string& button)
{
    auto* choice = Find<CaptionButton>(button);
    return choice ? choice->GetButtonText() : std::string();
}

void TunerLayout::SetChoiceText(const std::string& button, const std::string& text)
{
    if (auto* choice = Find<CaptionButton>(button))
        choice->SetButtonText(text);
}

void TunerLayout::FillCombo(const std::string& comboName, const std::string& button, ComboPopulator& populator,
                            void (TunerLayout::*slot)(Vabo::Signal::Base*, Vabo::GuiObject*))
{
    const auto& names = populator.GetNames();
    SetChoiceText(button, names.empty() ? std::string() : names.front());
    if (auto* combo = Find<ComboBox>(comboName)) {
        combo->Populate(populator);
        ConnectChildren(combo, slot);
        combo->SetChoiceInEffect([this, button, alive = Watch()] {
            return alive.expired() ? std::string() : ChoiceText(button);
        });
    }
}

void TunerLayout::ConnectChildren(Vabo::GuiObject* object,
                                  void (TunerLayout::*slot)(Vabo::Signal::Base*, Vabo::GuiObject*))
{
    for (Vabo::GuiObject* child : object->GetChildren())
        child->AddSlot<Activate>(slot, this);
}

void TunerLayout::FillStyles(const Instrument& instrument)
{
    if (auto* combo = Find<ComboBox>("StyleCombo"))
        combo->ClearChildren();
    styleEntries_.Clear();
    for (const Style& style : instrument.GetStyles())
        styleEntries_.AddEntry(style.GetName());
    FillCombo("StyleCombo", "STYLE", styleEntries_, &TunerLayout::StyleEntrySlot);
}

void TunerLayout::SelectInstrument(const std::string& name)
{
    if (name == Backdrop)
        return;
    SetChoiceText("INST", name);
    Instrument instrument;
    if (!config_.FindInstrument(name, instrument))
        return;
    FillStyles(instrument);
    RebuildNotes();
}

void TunerLayout::SelectStyle(const std::string& name)
{
    if (name == Backdrop)
        return;
    SetChoiceText("STYLE", name);
    RebuildNotes();
}

void TunerLayout::FillInputs()
{
    if (auto* combo = Find<ComboBox>("InputCombo"))
        combo->ClearChildren();
    inputEntries_.Clear();
    for (const auto& input : AudioDevice::Instance().GetInputs())
        inputEntries_.AddEntry(Capitals(input.first));
    FillCombo("InputCombo", "INPUT", inputEntries_, &TunerLayout::InputEntrySlot);
}

void TunerLayout::InputsChanged()
{
    FillInputs();
    if (!settingsLoaded_)
        return;
    const AudioDevice::InputMap inputs = AudioDevice::Instance().GetInputs();
    std::string input = wantedInput_;
    const bool found = inputs.count(InputLineNamed(input)) != 0;
    if (!found)
        input = inputs.count(InputLineNamed(DefaultInput)) != 0 ? DefaultInput : "";
    if (!input.empty())
        SelectInput(input);
    // A stored line this mixer does not have stays stored, unless the user
    // picks another.
    if (!found && !inputPicked_)
        SettingsStore::Instance().UsedInstead("Input", ChoiceText("INPUT"));
}

void TunerLayout::SelectTranspose(const std::string& name)
{
    if (name == Backdrop)
        return;
    SetChoiceText("TRANS", name);
    AppState::Instance().SetTransposeShift(config_.GetTransposeStore().GetShift(name));
    RebuildNotes();
}

void TunerLayout::SelectInput(const std::string& name)
{
    if (name == Backdrop)
        return;
    const std::string line = InputLineNamed(name);
    SetChoiceText("INPUT", Capitals(line));
    AudioDevice::Instance().SelectInput(line);
    UpdateVolumeSliders();
}

std::string TunerLayout::InputLineNamed(const std::string& caption)
{
    // The lines are shown in capitals as every caption is, whatever case the
    // mixer names them in; a choice stored before is found in either case.
    const std::string wanted = Capitals(caption);
    for (const auto& input : AudioDevice::Instance().GetInputs())
        if (Capitals(input.first) == wanted)
            return input.first;
    return caption;
}

void TunerLayout::InstrumentEntrySlot(Vabo::Signal::Base*, Vabo::GuiObject* object)
{
    const std::string name = EntryName(object);
    if (!name.empty() && name != ChoiceText("INST"))
        SelectInstrument(name);
}

void TunerLayout::StyleEntrySlot(Vabo::Signal::Base*, Vabo::GuiObject* object)
{
    const std::string name = EntryName(object);
    if (!name.empty())
        SelectStyle(name);
}

void TunerLayout::TransposeEntrySlot(Vabo::Signal::Base*, Vabo::GuiObject* object)
{
    const std::string name = EntryName(object);
    if (!name.empty())
        SelectTranspose(name);
}

void TunerLayout::InputEntrySlot(Vabo::Signal::Base*, Vabo::GuiObject* object)
{
    const std::string name = EntryName(object);
    if (name.empty())
        return;
    wantedInput_ = name;
    inputPicked_ = true;
    SelectInput(name);
    // Only the user's own pick of a line the device knows opens it fully; a
    // restored choice keeps the gain the user left it at.
    AudioDevice& device = AudioDevice::Instance();
    if (device.GetInputs().count(InputLineNamed(name)) != 0) {
        device.SetInputVolume(100);
        UpdateVolumeSliders();
    }
}

void TunerLayout::OnInputLineChanged(double componentType)
{
    const std::string name = AudioDevice::Instance().FindInputName(unsigned(componentType));
    if (name.empty())
        return;
    wantedInput_ = name;
    inputPicked_ = true;
    SelectInput(name);
}

// ---- notes ----

void TunerLayout::RebuildNotes()
{
    const std::string instrument = ChoiceText("INST");
    const std::string style = ChoiceText("STYLE");
    AppState& state = AppState::Instance();
    const bool transposed = state.GetTransposeShift() != 0;
    std::vector<float> frequencies;
    std::vector<Note> sounding;
    noteEntries_.Clear();
    config_.VisitStyle(instrument, style, [&](const Note& note) {
        const float hz = config_.TransposedFrequency(note, state);
        frequencies.push_back(hz);
        sounding.emplace_back(transposed ? state.NearestNoteName(hz) : note.GetName(), hz);
        noteEntries_.AddEntry(transposed ? state.NearestNoteLabel(hz) : NoteLabel(note.GetName()));
    });
    if (auto* display = Find<TuneVis>("TuneVis"))
        display->SetNotes(std::move(sounding));

    noteFrequencies_.clear();
    auto* container = Find<Vabo::LargeFocusContainer>("NoteContainer");
    if (!container)
        return;
    container->RemoveAllObjects();
    noteEntries_.ForEachEntry(
        container->GetObjectXml(),
        [](Vabo::LargeFocusContainer* target, std::shared_ptr<Vabo::GuiObject> entry, int index, int count) {
            target->AddObject(entry, index, count);
        },
        container, noteEntries_.Count());
    for (const auto& wrapper : container->GetWrappers()) {
        Vabo::GuiObject* note = wrapper->GetObject();
        note->AddSlot<Activate>(&TunerLayout::ManualNotePickSlot, this);
        note->AddSlot<Vabo::Signal::ObjectDeselected>(&TunerLayout::NoteLeftSlot, this);
        if (noteFrequencies_.size() < frequencies.size())
            noteFrequencies_.emplace_back(note, frequencies[noteFrequencies_.size()]);
    }
    container->UpdateLayout();
    FocusTargetNote();
}

bool TunerLayout::FocusTargetNote()
{
    // As the target box shows it: a stored 146.83 is D3's 146.832.
    const std::string target = Format("%0.2f", AppState::Instance().GetReferenceFrequency());
    auto* container = Find<Vabo::LargeFocusContainer>("NoteContainer");
    for (const auto& [note, hz] : noteFrequencies_) {
        if (container && Format("%0.2f", hz) == target) {
            container->SetFocusObject(note);
            return true;
        }
    }
    return false;
}

bool TunerLayout::SelectNoteByName(const std::string& name)
{
    const float target = config_.GetNoteStore().GetFrequency(name);
    for (const auto& [note, hz] : noteFrequencies_) {
        if (hz != target)
            continue;
        if (auto* container = Find<Vabo::LargeFocusContainer>("NoteContainer")) {
            container->SetFocusObject(note);
            return true;
        }
        return false;
    }
    return false;
}

void TunerLayout::ManualNotePickSlot(Vabo::Signal::Base*, Vabo::GuiObject* object)
{
    if (AutoSelectState() == 0) {
        for (const auto& [note, hz] : noteFrequencies_)
            if (note == object)
                SetDesiredFrequency(hz);
        return;
    }
    if (ShowMessageBox(ManualPickWhileAuto, "LATER, CHANGE") == "CHANGE")
        SetAutoSelect(0);
}

void TunerLayout::NoteLeftSlot(Vabo::Signal::Base*, Vabo::GuiObject* object)
{
    // The strip enlarges the note under the pointer or the ring only while it
    // follows them (automatic selection off); once they have left every note,
    // the large one is the target's again, or none when no note tunes to it.
    auto* container = Find<Vabo::LargeFocusContainer>("NoteContainer");
    if (!container || !container->GetFocusOnSelect() || container->HasSelectedObjectBesides(object))
        return;
    if (!FocusTargetNote())
        container->ArrangeEqually();
}

int TunerLayout::AutoSelectState()
{
    auto* toggle = Find<Vabo::ToggleButton>("AutoSelect");
    return toggle ? toggle->GetState() : 0;
}

void TunerLayout::SetAutoSelect(int state)
{
    // A stored value outside 0..1 is taken as the nearer end.
    state = state <= 0 ? 0 : 1;
    if (auto* toggle = Find<Vabo::ToggleButton>("AutoSelect")) {
        toggle->SetState(state);
        Vabo::InvalidateWhenShown(*toggle);
    }
    if (auto* container = Find<Vabo::LargeFocusContainer>("NoteContainer")) {
        container->SetFocusOnSelect(state == 0);
        if (state == 1)
            container->ArrangeEqually();
    }
}

// ---- reference frequency ----

void TunerLayout::SetDesiredFrequency(float hz)
{
    AppState& state = AppState::Instance();
    if (hz == state.GetReferenceFrequency())
        return;
    state.SetReferenceFrequency(hz);
    ShowDesiredFrequency();
    auto* play = Find<Vabo::ToggleButton>("Play");
    if (!play || play->GetState() != 1)
        return;
    // A tone that plays takes the new one over where it stands, without the
    // gap of a new stream.
    AudioDevice& device = AudioDevice::Instance();
    if (device.Output().IsActive() && !device.OutputLost())
        LoopBuffer::Instance().BuildTone(hz);
    else
        Play(true);
}

void TunerLayout::ShowDesiredFrequency()
{
    if (auto* box = Find<Vabo::EditBox>("DesiredFrequency"))
        box->SetText(Format("%0.2f", AppState::Instance().GetReferenceFrequency()));
}

float TunerLayout::ClampFrequency(float hz)
{
    if (hz < LowestFrequency)
        return LowestFrequency;
    if (hz > HighestFrequency)
        return HighestFrequency;
    return hz;
}

void TunerLayout::DesiredFrequencyEnteredSlot(Vabo::Signal::Base* signal, Vabo::GuiObject*)
{
    std::istringstream text(static_cast<Vabo::Signal::EditBoxSignal*>(signal)->text);
    text.imbue(std::locale::classic());
    float hz = 0.0f;
    // What is not a number keeps the reference; the box shows it again.
    if (text >> hz && std::isfinite(hz))
        SetDesiredFrequency(ClampFrequency(hz));
    ShowDesiredFrequency();
}

// ---- periodic refresh ----

void TunerLayout::UpdateTunerDisplay(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    AppState& state = AppState::Instance();
    if (!IsVisible())
        return;
    // Minimised, only the title shows the reading, and it changes no more
    // often than this: the window is analysed and refreshed at its pace, and
    // the sound comes in long buffers.
    const bool minimised = Vabo::InMinimisedWindow(*this);
    const float interval = minimised ? state.GetWindowUpdateInterval() : state.GetTunerUpdateInterval();
    const Platform::Milliseconds now = Platform::NowMs();
    if (!minimised)
        lastSeenShown_ = now;
    AudioDevice::Instance().SetSlowCapture(minimised && now - lastSeenShown_ >= SlowCaptureAfterMs);
    if (!ElapsedBeyond(lastDisplayUpdate_, interval)) {
        Platform::RequestTickAt(Platform::FirstReadingBeyond(lastDisplayUpdate_, interval));
        return;
    }
    lastDisplayUpdate_ = now;
    Platform::RequestTickAt(Platform::FirstReadingBeyond(lastDisplayUpdate_, interval));
    if (!CaptureRuns()) {
        ShowReading(InputLost, "");
        return;
    }
    const PitchSource& source = CurrentPitchSource();
    if (!(source.hasNewWindow ? source.hasNewWindow() : PitchTracker::Instance().HasNewWindow()))
        return;
    // Analyses the new window and gives the measured frequency.
    const float f = source.frequency ? source.frequency() : PitchTracker::Instance().GetFrequency();
    // No estimate (none yet, or the estimator's -1) names no note: the nearest
    // note to it would be the lowest of the table.
    const bool measured = f > 0.0f && std::isfinite(f);
    if (measured && AutoSelectState() == 1) {
        const std::string name = state.NearestNoteName(f);
        if (SelectNoteByName(name))
            SetDesiredFrequency(config_.GetNoteStore().GetFrequency(name));
    }
    ShowReading(measured ? Format("%0.2f Hz", f) : std::string(), measured ? state.NearestNoteLabel(f) : std::string());
}

bool TunerLayout::CaptureRuns()
{
    AudioDevice& device = AudioDevice::Instance();
    auto* standby = Find<Vabo::ToggleButton>("Standby");
    if ((standby && standby->GetState() == 1) || !device.CaptureLost())
        return true;
    const Platform::Milliseconds now = Platform::NowMs();
    if (now - lastCaptureTry_ < CaptureRetryMs)
        return false;
    lastCaptureTry_ = now;
    if (device.RetryCapture() != 0)
        return false;
    Platform::Log("TunerLayout: the sound input is back");
    return true;
}

void TunerLayout::ShowReading(const std::string& frequencyText, const std::string& noteText)
{
    AppState& state = AppState::Instance();
    if (auto* text = Find<Vabo::Text>("VisFreq"))
        text->SetText(frequencyText);
    if (auto* text = Find<Vabo::Text>("VisNote"))
        text->SetText(noteText);
    if (Platform::FrameTraceOn())
        Platform::FrameTrace("tuner shows " + (noteText.empty() ? std::string("-") : noteText) + " "
                             + (frequencyText.empty() ? std::string("-") : frequencyText));
    for (const char* name : {"TuneVis", "SampleVis", "ThresholdVis", "PowerLightVis"})
        if (auto* vis = Find<Vabo::GuiObject>(name))
            RefreshDisplay(*vis);

    Vabo::Window* root = RootWindow();
    if (!root)
        return;
    const bool minimised = root->IsMinimized();
    if (!ElapsedBeyond(lastWindowUpdate_, state.GetWindowUpdateInterval()))
        return;
    // The refresh's own stamp, not the clock after the analysis: minimised,
    // the next refresh comes one title interval after this stamp and must
    // find the title's interval passed too.
    lastWindowUpdate_ = lastDisplayUpdate_;
    if (minimised) {
        root->SetTitle(MinimisedTitle(titleSaved_ ? savedTitle_ : std::string(), frequencyText,
                                      state.GetReferenceFrequency(), noteText));
    } else if (titleSaved_ && root->GetTitle() != savedTitle_) {
        root->SetTitle(savedTitle_);
    }
}

std::string TunerLayout::MinimisedTitle(const std::string& programTitle, const std::string& reading, float reference,
                                        const std::string& note)
{
    std::string title = reading.empty() ? programTitle : reading;
    if (!title.empty())
        title += ' ';
    title += "(" + Format("%0.2f Hz", reference);
    if (!note.empty())
        title += ", " + note;
    return title + ")";
}

// ---- audio ----

int TunerLayout::Play(bool on)
{
    AudioDevice& device = AudioDevice::Instance();
    if (!on)
        return device.StopOutput();
    LoopBuffer& buffer = LoopBuffer::Instance();
    buffer.BuildTone(AppState::Instance().GetReferenceFrequency());
    const int result = device.StartOutput(LoopBuffer::Rate, OutputFrames, buffer);
    if (result != 0) {
        Platform::Log("TunerLayout: the reference tone could not start (" + std::to_string(result) + ")");
        if (auto* play = Find<Vabo::ToggleButton>("Play")) {
            play->SetState(0);
            Vabo::InvalidateWhenShown(*play);
        }
    }
    return result;
}

void TunerLayout::OutputLost()
{
    auto* play = Find<Vabo::ToggleButton>("Play");
    if (!play || play->GetState() != 1)
        return;
    AudioDevice::Instance().StopOutput();
    play->SetState(0);
    Vabo::InvalidateWhenShown(*play);
    ShowMessageBox(ToneLost, "");
}

bool TunerLayout::Standby(bool on)
{
    AudioDevice& device = AudioDevice::Instance();
    if (on) {
        device.StopInput();
        return true;
    }
    if (device.Input().IsActive() || device.Input().Start(false) == 0)
        return true;
    if (auto* standby = Find<Vabo::ToggleButton>("Standby")) {
        standby->SetState(0);
        Vabo::InvalidateWhenShown(*standby);
    }
    ShowMessageBox(NoCapture, "");
    return false;
}

int TunerLayout::SwitchToMetronome()
{
    for (const char* name : {"Standby", "Play"}) {
        if (auto* toggle = Find<Vabo::ToggleButton>(name)) {
            toggle->SetState(0);
            Vabo::InvalidateWhenShown(*toggle);
        }
    }
    AudioDevice& device = AudioDevice::Instance();
    device.StopInput();
    return device.StopOutput();
}

void TunerLayout::UpdateVolumeSliders()
{
    AudioDevice& device = AudioDevice::Instance();
    if (auto* slider = Find<Vabo::ObjectSlider>("VolumeInput")) {
        ignoreInputVolumeSignal_ = true;
        slider->SetValue(device.GetInputVolume());
        ignoreInputVolumeSignal_ = false;
    }
    if (auto* slider = Find<Vabo::ObjectSlider>("VolumeOutput")) {
        ignoreOutputVolumeSignal_ = true;
        slider->SetValue(device.GetOutputVolume());
        ignoreOutputVolumeSignal_ = false;
    }
}

void TunerLayout::InputVolumeSlot(Vabo::Signal::Base* signal, Vabo::GuiObject*)
{
    if (!ignoreInputVolumeSignal_)
        AudioDevice::Instance().SetInputVolume(static_cast<Vabo::Signal::ObjectSliderSignal*>(signal)->value);
    ignoreInputVolumeSignal_ = false;
}

void TunerLayout::OutputVolumeSlot(Vabo::Signal::Base* signal, Vabo::GuiObject*)
{
    if (!ignoreOutputVolumeSignal_)
        AudioDevice::Instance().SetOutputVolume(static_cast<Vabo::Signal::ObjectSliderSignal*>(signal)->value);
    ignoreOutputVolumeSignal_ = false;
}

void TunerLayout::ThresholdSlot(Vabo::Signal::Base* signal, Vabo::GuiObject*)
{
    AppState::Instance().SetThreshold(static_cast<Vabo::Signal::ObjectSliderSignal*>(signal)->value);
}

void TunerLayout::SetThreshold(int value)
{
    AppState::Instance().SetThreshold(value);
    if (auto* slider = Find<Vabo::ObjectSlider>("ThresholdSlider"))
        slider->SetValue(value);
}

// ---- slots named in the skin ----

void TunerLayout::PlayActiveSlot(Vabo::Signal::Base*, Vabo::GuiObject* object)
{
    auto* toggle = dynamic_cast<Vabo::ToggleButton*>(object);
    Play(toggle && toggle->GetState() == 1);
}

void TunerLayout::AutoSelectActiveSlot(Vabo::Signal::Base*, Vabo::GuiObject* object)
{
    auto* toggle = dynamic_cast<Vabo::ToggleButton*>(object);
    SetAutoSelect(toggle ? toggle->GetState() : 1);
}

void TunerLayout::StandbyActiveSlot(Vabo::Signal::Base*, Vabo::GuiObject* object)
{
    auto* toggle = dynamic_cast<Vabo::ToggleButton*>(object);
    Standby(toggle && toggle->GetState() == 1);
}

void TunerLayout::HelpActiveSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    TiXmlElement* element = GetXmlElement();
    if (!element || !HasChild(element, "AboutWindow")) {
        Platform::Log("TunerLayout: the skin gives the tuner screen no \"AboutWindow\"");
        ShowMessageBox(NoHelp, "");
        return;
    }
    AboutWindow::ShowFor(*this);
}

void TunerLayout::CloseClickedSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    AudioDevice& device = AudioDevice::Instance();
    if (device.Output().IsActive())
        device.StopOutput();
    if (Vabo::Window* root = RootWindow())
        root->Close();
}

void TunerLayout::SwitchClickedSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    SwitchToMetronome();
}

void TunerLayout::VisibilityChangeSlot(Vabo::Signal::Base* signal, Vabo::GuiObject*)
{
    tunerVisible_ = static_cast<ObjectVisibilityChange*>(signal)->visible;
    if (tunerVisible_) {
        UpdateVolumeSliders();
        StartAnimation();
    }
}

void TunerLayout::MinimiseClickedSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    if (Vabo::Window* root = RootWindow())
        root->Minimize();
}

void TunerLayout::NoteContainerReady(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    if (settingsLoaded_)
        return;
    settingsLoaded_ = true;
    if (Vabo::Window* root = RootWindow()) {
        savedTitle_ = root->GetTitle();
        titleSaved_ = true;
    }
    LoadTunerSettings();
    SettingsWriters::Add(this, [this] { SaveTunerSettings(); });
}

// ---- settings ----

void TunerLayout::LoadTunerSettings()
{
    SettingsStore& settings = SettingsStore::Instance();
    AppState& state = AppState::Instance();

    // The stored reference is shown even when it equals the start value.
    const float hz = settings.Get<float>("Frequency", DefaultFrequency);
    SetDesiredFrequency(std::isfinite(hz) ? ClampFrequency(hz) : DefaultFrequency);
    ShowDesiredFrequency();
    // The style list is the stored instrument's by the time the style is read.
    const struct {
        const char* key;
        ComboPopulator TunerLayout::*list;
        void (TunerLayout::*select)(const std::string&);
    } choices[] = {{"Instrument", &TunerLayout::instrumentEntries_, &TunerLayout::SelectInstrument},
                   {"Style", &TunerLayout::styleEntries_, &TunerLayout::SelectStyle},
                   {"Transpose", &TunerLayout::transposeEntries_, &TunerLayout::SelectTranspose}};
    for (const auto& choice : choices) {
        const std::string name = StoredChoice(settings, choice.key, this->*choice.list);
        if (!name.empty())
            (this->*choice.select)(name);
    }
    // Without a stored line the microphone is taken when there is one; else
    // the first line stays, rather than a line the device does not have.
    wantedInput_ = settings.Get<std::string>("Input", "");
    std::string input = StoredChoice(settings, "Input", inputEntries_);
    if (input.empty() && AudioDevice::Instance().GetInputs().count(InputLineNamed(DefaultInput)) != 0)
        input = DefaultInput;
    if (!input.empty())
        SelectInput(input);
    // A stored choice the store could not read is not replaced at the end by
    // what stands in for it, unless the user picks another.
    const std::pair<const char*, const char*> shown[] = {
        {"Instrument", "INST"}, {"Style", "STYLE"}, {"Transpose", "TRANS"}, {"Input", "INPUT"}};
    for (const auto& [key, button] : shown)
        settings.UsedInstead(key, ChoiceText(button));
    SetAutoSelect(settings.Get<int>("AutoSelect", 1));

    tunerVisible_ = settings.Get<bool>("TunerVisible", true);
    if (!tunerVisible_) {
        SwitchToMetronome();
        Activate activate;
        SlotHide(&activate, this);
        // The metronome is the tuner's sibling below the main window.
        GuiObject* root = GetRootObject();
        if (GuiObject* metronome =
                root ? DllGlobalObjectFactoryInstance().FindObject(root, "MetronomeLayout") : nullptr)
            metronome->SlotShow(&activate, this);
        else
            Platform::Log("TunerLayout: no \"MetronomeLayout\" to show in place of the tuner");
        tunerVisible_ = false;
    }
    SetThreshold(settings.Get<int>("Threshold", state.Threshold));
    FocusTargetNote();
}

void TunerLayout::SaveTunerSettings()
{
    SettingsStore& settings = SettingsStore::Instance();
    settings.Set("Frequency", AppState::Instance().GetReferenceFrequency());
    // A control already gone (the screen taken apart around it) shows no
    // choice: what is stored for it stays.
    const std::pair<const char*, const char*> shown[] = {
        {"Instrument", "INST"}, {"Style", "STYLE"}, {"Transpose", "TRANS"}, {"Input", "INPUT"}};
    for (const auto& [key, button] : shown)
        if (auto* choice = Find<CaptionButton>(button))
            settings.Set(key, choice->GetButtonText());
    if (auto* toggle = Find<Vabo::ToggleButton>("AutoSelect"))
        settings.Set("AutoSelect", toggle->GetState());
    settings.Set("TunerVisible", tunerVisible_);
    settings.Set("Threshold", int(AppState::Instance().Threshold));
}

std::string TunerLayout::ShowMessageBox(const std::string& text, const std::string& buttons)
{
    if (const Question& question = CurrentQuestion())
        return question(text, buttons);
    return ::ShowMessageBox(text, buttons, RootWindow());
}
