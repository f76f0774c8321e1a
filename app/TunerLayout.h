#pragma once
// The tuner screen of the main window: finds the skin's objects by name, fills
// the instrument, style, transposition and input lists from its "Config" and
// the audio device, builds the note buttons of the chosen style, refreshes the
// measurement on the GUI clock and keeps the user's choices in the settings.
// A named object the skin lacks is logged and its feature left off.
#include "audio/ComboPopulator.h"
#include "audio/TuneConfig.h"
#include "framework/widgets/GridLayout.h"
#include "platform/Clock.h"

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace Vabo {
class EditBox;
class LargeFocusContainer;
class ObjectSlider;
class Text;
class ToggleButton;
class Window;
} // namespace Vabo
class ComboBox;

class TunerLayout : public Vabo::GridLayout {
public:
    // Frames the reference tone's stream asks for at a time: a retune is
    // taken over at the next of them.
    static constexpr unsigned long OutputFrames = 512;

    // What the periodic refresh reads of the analysis: whether a new window
    // arrived, and the measured frequency (which analyses it). By default the
    // pitch tracker; tests put in their own.
    struct PitchSource {
        std::function<bool()> hasNewWindow;
        std::function<float()> frequency;
    };
    // Asks the user: the text and the comma-separated buttons give the label
    // pressed. By default the skin's message box over the main window.
    using Question = std::function<std::string(const std::string& text, const std::string& buttons)>;

    // Empty members restore the defaults.
    static void SetPitchSource(PitchSource source);
    static void SetQuestion(Question question);

    // The XML error when the "Config" child is missing.
    explicit TunerLayout(TiXmlElement* element);
    // Saves the choices, once they have been loaded.
    ~TunerLayout() override;

    bool SetSize(int width, int height) override;

    // Slots named in the skin.
    void PlayActiveSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void AutoSelectActiveSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void StandbyActiveSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void HelpActiveSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void CloseClickedSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void SwitchClickedSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void VisibilityChangeSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void MinimiseClickedSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void NoteContainerReady(Vabo::Signal::Base* signal, Vabo::GuiObject* object);

    // Slots the screen connects itself.
    void InstrumentEntrySlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void StyleEntrySlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void TransposeEntrySlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void InputEntrySlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void ManualNotePickSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void NoteLeftSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void DesiredFrequencyEnteredSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void InputVolumeSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void OutputVolumeSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void ThresholdSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void UpdateTunerDisplay(Vabo::Signal::Base* signal, Vabo::GuiObject* object);

    // The reference tone on or off: the audio library's result.
    int Play(bool on);
    // Capture off (standby) or on; false when capture could not start.
    bool Standby(bool on);
    // Stops capture and the reference tone: the result of stopping the tone.
    int SwitchToMetronome();
    void SelectInstrument(const std::string& name);
    void SelectStyle(const std::string& name);
    void SelectTranspose(const std::string& name);
    void SelectInput(const std::string& name);
    void SetThreshold(int value);
    void SetDesiredFrequency(float hz);
    // 1 on, 0 off; other values clamp to the nearer one.
    void SetAutoSelect(int state);
    // Focuses the note button of the named note; false when none shows it.
    bool SelectNoteByName(const std::string& name);
    void RebuildNotes();
    void UpdateVolumeSliders();
    void OnInputLineChanged(double componentType);
    // The device's inputs were listed anew (its mixer opened, perhaps late):
    // the list is filled again and the line wanted is chosen from it.
    void InputsChanged();
    // The play-back stream died with the sound server or the device: a
    // reference tone playing is switched off and the user told.
    void OutputLost();

    void LoadTunerSettings();
    // A choice whose control is gone keeps its stored value.
    void SaveTunerSettings();

    // The texts of the choice buttons ("INST", "STYLE", "TRANS", "INPUT").
    std::string ChoiceText(const std::string& button);
    // Each note button with the frequency it tunes to, in the strip's order.
    const std::vector<std::pair<Vabo::GuiObject*, float>>& NoteFrequencies() const { return noteFrequencies_; }
    int AutoSelectState();
    std::string ShowMessageBox(const std::string& text, const std::string& buttons);
    // The main window's title while minimised: the reading (the program's own
    // title without one), then the reference and the note in brackets, as
    // "82.41 Hz (82.41 Hz, E2)" or "Pellora (440.00 Hz)".
    static std::string MinimisedTitle(const std::string& programTitle, const std::string& reading, float reference,
                                      const std::string& note);

private:
    // Found by name below the screen; null (logged once per look-up) when missing.
    template <class T> T* Find(const std::string& name);
    void SetChoiceText(const std::string& button, const std::string& text);
    void FillCombo(const std::string& combo, const std::string& button, ComboPopulator& populator,
                   void (TunerLayout::*slot)(Vabo::Signal::Base*, Vabo::GuiObject*));
    void ConnectChildren(Vabo::GuiObject* object, void (TunerLayout::*slot)(Vabo::Signal::Base*, Vabo::GuiObject*));
    void FillStyles(const Instrument& instrument);
    void FillInputs();
    void ShowDesiredFrequency();
    // The device's name of the input line a caption shows.
    static std::string InputLineNamed(const std::string& caption);
    // Focuses the note button that tunes to the target frequency, when one
    // does; false when none does.
    bool FocusTargetNote();
    static float ClampFrequency(float hz);
    Vabo::Window* RootWindow();
    // The entry's name, or empty for the drop-down list's own backdrop.
    static std::string EntryName(Vabo::GuiObject* object);
    static bool ElapsedBeyond(Platform::Milliseconds since, float seconds);
    // False while capture is wanted but lost; then tries, now and then, to
    // start it again.
    bool CaptureRuns();
    // Shows the measured frequency and note, in the displays and, minimised,
    // in the title.
    void ShowReading(const std::string& frequencyText, const std::string& noteText);

    Platform::Milliseconds lastDisplayUpdate_;
    Platform::Milliseconds lastWindowUpdate_;
    Platform::Milliseconds lastCaptureTry_ = 0;
    // When a refresh last found the window not minimised (at first, when the
    // screen was built).
    Platform::Milliseconds lastSeenShown_ = 0;
    TuneConfig config_;
    ComboPopulator instrumentEntries_;
    ComboPopulator styleEntries_;
    ComboPopulator transposeEntries_;
    ComboPopulator inputEntries_;
    // The input line the user picked or the settings named, kept until the
    // device lists it (its mixer may open after the screen is built).
    std::string wantedInput_;
    bool inputPicked_ = false;
    ComboPopulator noteEntries_;
    // The main window's own title, taken when the window is first shown.
    std::string savedTitle_;
    bool titleSaved_ = false;
    bool ignoreInputVolumeSignal_ = false;
    bool ignoreOutputVolumeSignal_ = false;
    std::vector<std::pair<Vabo::GuiObject*, float>> noteFrequencies_;
    bool settingsLoaded_ = false;
    bool tunerVisible_ = true;
    std::set<std::string> missing_;
};
