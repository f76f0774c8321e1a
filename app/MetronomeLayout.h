#pragma once
// The metronome screen of the main window: finds the skin's objects by name,
// fills the accent and output lists and the tempo presets from its "Config",
// plays the bar of clicks (or the recording) while "Play" is on, records the
// input, refreshes its beat displays on the GUI clock and keeps the tempo,
// accent and output in the settings.
#include "app/MetronomeConfig.h"
#include "app/vis/BeatClock.h"
#include "audio/AudioDevice.h"
#include "audio/ComboPopulator.h"
#include "audio/StreamWatch.h"
#include "framework/widgets/GridLayout.h"
#include "platform/Clock.h"

#include <deque>
#include <functional>
#include <limits>
#include <string>

namespace Vabo {
class Window;
}

class MetronomeLayout : public Vabo::GridLayout {
public:
    static constexpr int MinBpm = 10;
    static constexpr int MaxBpm = 5000;
    // Frames of each output buffer: the bar is played through it cyclically,
    // so a change is heard after at most this many frames.
    static constexpr unsigned long OutputFrames = 512;

    // Tells the user something; by default the skin's message box over the
    // main window. Tests put in their own.
    using Message = std::function<void(const std::string& text)>;
    static void SetMessage(Message message);

    // The XML error when "Config" or one of the named objects the screen
    // works with is missing (each missing name is logged), or when the
    // configuration has no click sets or no accent patterns.
    explicit MetronomeLayout(TiXmlElement* element);
    // Saves the choices, once they have been loaded.
    ~MetronomeLayout() override;

    // Slots named in the skin.
    void PlayActiveSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void RecordActiveSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void SwitchClickedSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void HelpActiveSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void CloseClickedSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void MinimiseClickedSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void VisibilityChangeSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void PresetContainerReady(Vabo::Signal::Base* signal, Vabo::GuiObject* object);

    // Slots the screen connects itself.
    void TempoEnteredSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void PresetEntrySlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void PresetLeftSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void AccentEntrySlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void OutputEntrySlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void InputVolumeSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void OutputVolumeSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void UpdateDisplays(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    // Seconds from one refresh of the displays to the next: the interval, or
    // up to a beat that starts within the interval after that (toBeat,
    // negative for none), so that the displays draw its start as it is heard
    // rather than up to an interval later. Never less than the interval.
    static float DisplayWait(float interval, double toBeat);

    // The tempo everywhere it shows; false (nothing changed) below 1.
    bool SetTempo(int bpm);
    // A typed tempo: a whole number clamps to MinBpm..MaxBpm; anything else
    // keeps the tempo. The box shows the tempo afterwards either way.
    void EnterTempo(const std::string& text);
    // The typed text's tempo, clamped; false when it is not a whole number.
    static bool ParseTempo(const std::string& text, int& bpm);
    // False (nothing changed) for the list's backdrop, or for a name whose
    // beats per bar are below 1.
    bool SelectAccent(const std::string& name);
    bool SelectOutput(const std::string& name);
    bool SelectPreset(const std::string& name);
    // Output on or off for the current choice; false when it could not start
    // ("Play" is then reset and the user told).
    bool Play(bool on);
    bool Record(bool on);
    void RestartIfPlaying();
    bool IsPlayActive();
    bool IsRecordActive();
    // A stream this screen started died with the sound server or the device:
    // its button is reset and the user told.
    void StreamLost(AudioDevice::StreamKind kind);
    // A recording at its limit: stopped, RECORD reset and the user told.
    void WatchRecording();
    void UpdateVolumeSliders();

    void LoadMetronomeSettings();
    // A choice whose control is gone keeps its stored value.
    void SaveMetronomeSettings();

    // Empty when the control is gone.
    std::string ChoiceText(const std::string& button);
    std::string TempoText();
    std::string TitleText();
    const MetronomeConfig& Config() const { return config_; }

private:
    // Found by name below the screen; null when missing.
    template <class T> T* Find(const std::string& name);
    void RequireObjects();
    void SetChoiceText(const std::string& button, const std::string& text);
    void FillCombo(const std::string& combo, const std::string& button, ComboPopulator& populator,
                   void (MetronomeLayout::*slot)(Vabo::Signal::Base*, Vabo::GuiObject*));
    void FillPresetContainer();
    void ResetToggle(const std::string& name);
    void ShowTempo();
    // Builds the bar and plays it; what went wrong, or empty.
    std::string PlayBeats(const std::string& sampleName);
    Vabo::Window* RootWindow();
    void Tell(const std::string& text);
    // Told after the messages before it, each once the box before it closed.
    void TellInTurn(const std::string& text);

    MetronomeConfig config_;
    Platform::Milliseconds lastDisplayUpdate_;
    float displayWait_ = 0.0f;
    BeatClock beatClock_;
    ComboPopulator accentEntries_;
    ComboPopulator outputEntries_;
    ComboPopulator presetEntries_;
    bool settingsLoaded_ = false;
    // The output stream plays the loop buffer's bar.
    bool playingBeats_ = false;
    bool ignoreInputVolumeSignal_ = false;
    bool ignoreOutputVolumeSignal_ = false;
    std::string shownFrequency_;
    float formattedFrequency_ = std::numeric_limits<float>::quiet_NaN();
    std::deque<std::string> queuedMessages_;
    // Made last: it never checks a screen half destroyed. It runs minimised
    // too, so a recording stops at its limit whatever shows.
    StreamWatch recordingWatch_{[this] { WatchRecording(); }};
};
