// The tuner screen on the real skin inside the real main window, with the
// clock driven by hand, the measured pitch put in by the test and the user's
// answers to questions scripted: what a fresh install shows, stored choices,
// transposition, the timed refresh and automatic selection, manual picks,
// typed frequencies, the minimised title and the settings written at the end.
#include "app/ComboBox.h"
#include "app/MetronomeLayout.h"
#include "app/SettingsStore.h"
#include "app/TunerLayout.h"
#include "app/vis/TuneVis.h"

#include "AppTestSupport.h"
#include "audio/AppState.h"
#include "audio/AudioDevice.h"
#include "audio/PlaybackMixer.h"
#include "audio/RecordMixer.h"
#include "audio/HostBufferCounts.h"
#include "audio/SoundRig.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/drawing/Region.h"
#include "framework/host/AppWindow.h"
#include "framework/host/ScreenManager.h"
#include "framework/host/VaboWnd.h"
#include "framework/widgets/EditBox.h"
#include "framework/widgets/EditBoxSignal.h"
#include "framework/widgets/LargeFocusContainer.h"
#include "framework/widgets/ObjectSlider.h"
#include "framework/widgets/Text.h"
#include "framework/widgets/ToggleButton.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"

#include "MarkMinimised.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string Capitals(std::string text)
{
    for (char& c : text)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// A test that hands the device made-up input lines gives it the mixer's own
// back at its end, with the first of them selected.
struct RealInputsAtTheEnd {
    ~RealInputsAtTheEnd()
    {
        AudioDevice& device = AudioDevice::Instance();
        device.RefreshInputs({});
        if (!device.GetInputs().empty())
            device.SelectInput(device.GetInputs().begin()->first);
    }
};

class TunerScreen : public AppTest::ScreenFixture {
protected:
    void SetUp() override
    {
        AppTest::ScreenFixture::SetUp();
        TunerLayout::SetPitchSource({[this] { return newWindow_; },
                                     [this] {
                                         newWindow_ = false;
                                         ++analyses_;
                                         clock_.Advance(analysisMs_);
                                         return pitch_;
                                     }});
        TunerLayout::SetQuestion([this](const std::string& text, const std::string& buttons) {
            questions_.push_back(text + " | " + buttons);
            return answer_;
        });
    }

    void TearDown() override
    {
        window_.reset();
        TunerLayout::SetPitchSource({});
        TunerLayout::SetQuestion({});
        AppState::Instance().SetThreshold(5);
        AudioDevice& device = AudioDevice::Instance();
        device.StopOutput();
        device.Output().Close();
        if (!device.Input().IsOpen())
            device.Input().Open(AudioDevice::CaptureRate, AudioDevice::CaptureFrames);
        AppTest::ScreenFixture::TearDown();
    }

    // Builds the main window from the real skin and shows it as the program
    // does before its loop runs: connections made, then "ready".
    void Open()
    {
        window_ = AppTest::OpenMainWindow(loader_);
        tuner_ = Vabo::GetXMLObject<TunerLayout>(window_.get(), "TunerLayout");
        ASSERT_NE(nullptr, tuner_);
    }

    template <class T> T* Object(const std::string& name) { return Vabo::GetXMLObject<T>(tuner_, name); }

    // The labels of the note buttons, in the strip's order.
    std::vector<std::string> Notes()
    {
        std::vector<std::string> names;
        for (const auto& wrapper : Object<Vabo::LargeFocusContainer>("NoteContainer")->GetWrappers())
            names.push_back(wrapper->GetObject()->GetName());
        return names;
    }

    Vabo::GuiObject* Note(std::size_t index)
    {
        return Object<Vabo::LargeFocusContainer>("NoteContainer")->GetWrappers().at(index)->GetObject();
    }

    std::string Reference() { return Object<Vabo::EditBox>("DesiredFrequency")->GetEditText(); }

    // The index of the note button drawn widest once the strip's animation
    // has run; -1 when all are equally wide.
    int FocusedNote()
    {
        auto* container = Object<Vabo::LargeFocusContainer>("NoteContainer");
        for (int i = 0; i < 20; ++i) {
            clock_.Advance(60);
            Vabo::Signal::Timer timer(clock_.Now());
            window_->Raise(&timer);
        }
        const auto& wrappers = container->GetWrappers();
        int widest = 0;
        bool equal = true;
        for (std::size_t i = 1; i < wrappers.size(); ++i) {
            equal = equal && wrappers[i]->GetWidth() == wrappers[0]->GetWidth();
            if (wrappers[i]->GetWidth() > wrappers[std::size_t(widest)]->GetWidth())
                widest = int(i);
        }
        return equal ? -1 : widest;
    }

    void Tick(Platform::Milliseconds ms)
    {
        clock_.Advance(ms);
        Vabo::Signal::Timer timer(clock_.Now());
        tuner_->SendToSelf(&timer);
    }

    // A new analysis window measuring hz, then a refresh.
    void Measure(float hz)
    {
        pitch_ = hz;
        newWindow_ = true;
        Tick(51);
    }

    void Type(const std::string& text)
    {
        Vabo::Signal::EditBoxSignal entered(text);
        Object<Vabo::EditBox>("DesiredFrequency")->SendToSelf(&entered);
    }

    // What a release over the object does: its own connections hear
    // Activate, the window being the source of the release.
    void Click(Vabo::GuiObject* object)
    {
        Vabo::Signal::Activate activate;
        object->InvokeSlots(&activate, object, window_.get());
    }

    Platform::ManualClock clock_{100000};
    TunerLayout* tuner_ = nullptr;
    bool newWindow_ = false;
    // How long the clock moves on while a window is analysed.
    Platform::Milliseconds analysisMs_ = 0;
    float pitch_ = 0.0f;
    int analyses_ = 0;
    std::vector<std::string> questions_;
    std::string answer_ = "LATER";
};

} // namespace

TEST_F(TunerScreen, AFreshInstallShowsTheFirstChoicesAutoSelectAnd440)
{
    Open();
    EXPECT_EQ("440.00", Reference());
    EXPECT_FLOAT_EQ(440.0f, AppState::Instance().GetReferenceFrequency());
    EXPECT_EQ("GUITAR", tuner_->ChoiceText("INST"));
    EXPECT_EQ("STANDARD", tuner_->ChoiceText("STYLE"));
    EXPECT_EQ("CONCERT", tuner_->ChoiceText("TRANS"));
    EXPECT_EQ(0, AppState::Instance().GetTransposeShift());
    EXPECT_EQ(1, tuner_->AutoSelectState());
    EXPECT_EQ((std::vector<std::string>{"E", "A", "D", "G", "B", "E"}), Notes());
    EXPECT_TRUE(tuner_->IsVisible());
    // The sound server offers no microphone line: its first line shows.
    const AudioDevice::InputMap inputs = AudioDevice::Instance().GetInputs();
    ASSERT_EQ(0u, inputs.count("MIC"));
    ASSERT_FALSE(inputs.empty());
    EXPECT_EQ(Capitals(inputs.begin()->first), tuner_->ChoiceText("INPUT")) << "in capitals, as every caption";
}

TEST_F(TunerScreen, InputLinesAreShownInCapitalsAndAStoredChoiceIsFoundInEitherCase)
{
    AudioDevice& device = AudioDevice::Instance();
    const std::string line = device.GetInputs().begin()->first;
    ASSERT_NE(line, Capitals(line)) << "the sound server names its line in small letters";
    for (const std::string& stored : {line, Capitals(line)}) {
        Store("Input", stored);
        Open();
        EXPECT_EQ(Capitals(line), tuner_->ChoiceText("INPUT")) << stored;
        EXPECT_EQ(device.GetInputs().at(line).lineId, device.SelectedLine().lineId) << stored;
        std::vector<std::string> entries;
        for (Vabo::GuiObject* entry : Object<ComboBox>("InputCombo")->GetChildren())
            if (!entry->GetName().empty() && entry->GetName() != "Background")
                entries.push_back(entry->GetName());
        EXPECT_EQ(std::vector<std::string>{Capitals(line)}, entries);
        window_.reset();
        EXPECT_NE(std::string::npos, Settings().find("Input=" + Capitals(line) + "\n")) << Settings();
    }
}

TEST_F(TunerScreen, AListOpensAtTheChoiceInEffectSoTheKeysCountFromItAndReturnKeepsIt)
{
    Open();
    // In this order: the styles are the bass's once it is chosen.
    const struct {
        const char* list;
        const char* button;
        const char* choice;
        const char* above;
    } lists[] = {{"InstrumentCombo", "INST", "BASS", "GUITAR"},
                 {"StyleCombo", "STYLE", "5-STRING", "4-STRING"},
                 {"TransposeCombo", "TRANS", "IN B♭", "CONCERT"}};
    for (const auto& row : lists) {
        SCOPED_TRACE(row.button);
        auto* list = Object<ComboBox>(row.list);
        ASSERT_NE(nullptr, list);
        Vabo::GuiObject* entry = AppTest::EntryNamed(*list, row.choice);
        ASSERT_NE(nullptr, entry);
        Click(entry);
        ASSERT_EQ(row.choice, tuner_->ChoiceText(row.button));
        EXPECT_EQ((std::vector<std::string>{row.choice, row.above, row.choice, ""}),
                  AppTest::MarksAfterKeys(*list, {AppTest::kUpKey, AppTest::kDownKey, AppTest::kReturnKey}));
        EXPECT_EQ(row.choice, tuner_->ChoiceText(row.button));
        EXPECT_FALSE(list->IsVisible());
    }
}

TEST_F(TunerScreen, StoredChoicesAreShownAndEveryKeyIsWrittenAtTheEnd)
{
    Store("Instrument", "BASS");
    Store("Style", "5-STRING");
    Store("Transpose", "IN B♭");
    Store("Frequency", "440");
    Store("AutoSelect", "7");
    Open();
    EXPECT_EQ((std::vector<std::string>{"A", "D", "G", "C", "F"}), Notes()) << "B0 E1 A1 D2 G2 two steps down";
    EXPECT_EQ("440.00", Reference()) << "the stored reference shows though it equals the start value";
    EXPECT_EQ(1, tuner_->AutoSelectState()) << "a stored 7 is taken as on";
    ASSERT_EQ(5u, tuner_->NoteFrequencies().size());
    EXPECT_NEAR(27.50f, tuner_->NoteFrequencies()[0].second, 0.01f) << "B0 sounds as A0 on a B flat instrument";
    // The display is given the same sounding notes, each a fret.
    auto* display = Object<TuneVis>("TuneVis");
    ASSERT_EQ(5u, display->Notes().size());
    EXPECT_EQ("A0", display->Notes()[0].GetName());
    EXPECT_NEAR(27.50f, display->Notes()[0].GetFrequency(), 0.01f);
    EXPECT_EQ(5u, display->Fret()->Frets().size());

    tuner_->SelectTranspose("CONCERT");
    EXPECT_EQ((std::vector<std::string>{"B", "E", "A", "D", "G"}), Notes());
    EXPECT_EQ("B0", display->Notes()[0].GetName());
    tuner_->SelectTranspose("No such transposition");
    EXPECT_EQ(0, AppState::Instance().GetTransposeShift());
    tuner_->SelectInstrument("Nothing we know");
    EXPECT_EQ("Nothing we know", tuner_->ChoiceText("INST"));
    EXPECT_EQ(5u, Notes().size()) << "an unknown instrument leaves the notes as they were";

    tuner_->SelectInstrument("VIOLIN");
    tuner_->SetDesiredFrequency(220.0f);
    tuner_->SetAutoSelect(0);
    window_.reset();
    const std::string settings = Settings();
    for (const char* line :
         {"Frequency=220\n", "Instrument=VIOLIN\n", "Style=STANDARD\n", "Transpose=No such transposition\n",
          "AutoSelect=0\n", "TunerVisible=1\n", "Threshold=5\n", "Input="})
        EXPECT_NE(std::string::npos, settings.find(line)) << line << " in\n" << settings;
}

TEST_F(TunerScreen, AfterARestartTheStoredTargetsNoteIsFocused)
{
    const auto focused = [this] { return FocusedNote(); };
    const struct {
        const char* instrument;
        const char* frequency;
        int note;
    } cases[] = {
        {"GUITAR", "146.83", 2}, {"GUITAR", "146.832", 2}, {"VIOLIN", "440", 2}, {"GUITAR", "440", -1}, {"", "82.41", 0},
    };
    for (const auto& c : cases) {
        Store("Instrument", c.instrument);
        Store("Frequency", c.frequency);
        Store("AutoSelect", "0");
        Open();
        EXPECT_EQ(c.note, focused()) << c.instrument << " " << c.frequency;
        window_.reset();
    }
}

TEST_F(TunerScreen, ANoteThePointerOrTheRingHasLeftGivesTheLargePlaceBackToTheTarget)
{
    // Automatic selection off: the strip enlarges the note under the pointer
    // (or ringed) while it stays there. Steps: the note that becomes selected
    // (-1: none) and the one that is no longer.
    const struct {
        const char* frequency;
        std::vector<std::pair<int, int>> steps;
        int focused;
    } cases[] = {
        {"82.41", {{5, -1}}, 5}, // over the high E
        {"82.41", {{5, -1}, {-1, 5}}, 0}, // gone: the low E, the target
        {"82.41", {{5, -1}, {4, -1}, {-1, 5}}, 4}, // on to the B, straight from the E
        {"82.41", {{5, -1}, {4, 5}, {-1, 4}}, 0}, // and off it
        {"440", {{5, -1}, {-1, 5}}, -1}, // no note is the target
    };
    for (const auto& c : cases) {
        Store("Instrument", "GUITAR");
        Store("Frequency", c.frequency);
        Store("AutoSelect", "0");
        Open();
        for (const auto& [selected, left] : c.steps) {
            if (selected >= 0)
                Note(std::size_t(selected))->SetSelected(true);
            if (left >= 0)
                Note(std::size_t(left))->SetSelected(false);
        }
        EXPECT_EQ(c.focused, FocusedNote()) << c.frequency << " after " << c.steps.size() << " steps";
        window_.reset();
    }
}

TEST_F(TunerScreen, AStoredChoiceTheListsDoNotHoldGivesTheDefaultChoice)
{
    // The choices of a fresh install, on both screens.
    Open();
    auto* metronome = Vabo::GetXMLObject<MetronomeLayout>(window_.get(), "MetronomeLayout");
    ASSERT_NE(nullptr, metronome);
    const std::map<std::string, std::string> defaults = {
        {"INST", tuner_->ChoiceText("INST")},   {"STYLE", tuner_->ChoiceText("STYLE")},
        {"TRANS", tuner_->ChoiceText("TRANS")}, {"INPUT", tuner_->ChoiceText("INPUT")},
        {"ACCENT", metronome->ChoiceText("ACCENT")}, {"OUTPUT", metronome->ChoiceText("OUTPUT")}};
    window_.reset();
    const struct {
        const char* key;
        const char* stored;
        const char* button;
        bool tuner;
    } choices[] = {
        {"Instrument", "../../../../etc/passwd", "INST", true}, {"Style", "NO SUCH TUNING", "STYLE", true},
        {"Transpose", "IN Z", "TRANS", true},                  {"Input", "../../etc/passwd", "INPUT", true},
        {"Accent", "ACCENT: 99", "ACCENT", false},              {"Output", "../../../../etc/passwd", "OUTPUT", false},
    };
    for (const auto& choice : choices) {
        SCOPED_TRACE(choice.key);
        std::remove(SettingsStore::FilePath().c_str());
        Store(choice.key, choice.stored);
        Open();
        metronome = Vabo::GetXMLObject<MetronomeLayout>(window_.get(), "MetronomeLayout");
        EXPECT_EQ(defaults.at(choice.button),
                  choice.tuner ? tuner_->ChoiceText(choice.button) : metronome->ChoiceText(choice.button));
        window_.reset();
    }
}

TEST_F(TunerScreen, AStoredTextTooLongToUseOutlivesTheRunUnlessAnotherChoiceIsMade)
{
    const std::string tooLong(SettingsStore::MaxValueLength + 44, 'G');
    const char* const kept[] = {"Instrument", "Style", "Input", "Accent", "Output", "TuneVis"};
    for (const char* key : kept)
        Store(key, tooLong);
    Store("Transpose", tooLong);
    Open();
    tuner_->SelectTranspose("IN B♭");
    window_.reset();
    const std::string settings = Settings();
    for (const char* key : kept)
        EXPECT_NE(std::string::npos, settings.find(key + ("=" + tooLong + "\n"))) << key << " in\n" << settings;
    EXPECT_NE(std::string::npos, settings.find("Transpose=IN B♭\n")) << settings;
}

TEST_F(TunerScreen, RefreshesOnlyAfterTheIntervalAndWithANewWindow)
{
    Open();
    pitch_ = 329.63f;
    newWindow_ = true;
    Tick(50);
    EXPECT_EQ(0, analyses_) << "exactly the interval is not more than it";
    Tick(1);
    EXPECT_EQ(1, analyses_);
    EXPECT_EQ("329.63 Hz", Object<Vabo::Text>("VisFreq")->GetText());
    EXPECT_EQ("E", Object<Vabo::Text>("VisNote")->GetText());
    EXPECT_EQ("329.63", Reference()) << "E4 is a string of the guitar";
    Tick(60);
    Tick(60);
    EXPECT_EQ(1, analyses_) << "no new window, no refresh";

    // The estimator's "no estimate" names no note: noise never jumps to the
    // lowest note of the table.
    Measure(-1.0f);
    EXPECT_EQ(2, analyses_);
    EXPECT_EQ("329.63", Reference());
    EXPECT_EQ("", Object<Vabo::Text>("VisNote")->GetText());

    tuner_->SetVisible(false);
    Measure(110.0f);
    EXPECT_EQ(2, analyses_) << "a hidden tuner does not refresh";
}

TEST_F(TunerScreen, BetweenRefreshesNoWindowIsAnalysedAndTheRefreshTakesTheNewest)
{
    Open();
    Measure(329.63f);
    ASSERT_EQ(1, analyses_);
    const Platform::Milliseconds refreshDue = clock_.Now() + 51;
    struct Step {
        const char* what;
        Platform::Milliseconds advance;
        int analyses;
        const char* note;
        Platform::Milliseconds tickAsked;
    };
    const Step steps[] = {
        {"a new window between refreshes waits", 10, 1, "E", refreshDue},
        {"and the next one too", 10, 1, "E", refreshDue},
        {"exactly the interval is not more than it", 30, 1, "E", refreshDue},
        {"the refresh analyses the newest window once", 1, 2, "A", refreshDue + 51},
    };
    Platform::TakeRequestedTick();
    for (const Step& step : steps) {
        newWindow_ = true;
        pitch_ = 440.0f;
        Tick(step.advance);
        EXPECT_EQ(step.analyses, analyses_) << step.what;
        EXPECT_EQ(step.note, Object<Vabo::Text>("VisNote")->GetText()) << step.what;
        EXPECT_EQ(step.tickAsked, Platform::TakeRequestedTick()) << step.what;
    }
}

// Minimised, the windows come with the long buffers (93 ms): none of them is
// analysed before the title's refresh, and the clock is asked for that one only.
TEST_F(TunerScreen, MinimisedTheWindowsOfTheLongBuffersWaitForTheTitlesRefresh)
{
    Open();
    ASSERT_TRUE(AppTest::MarkMinimised(*window_, true));
    pitch_ = 329.63f;
    newWindow_ = true;
    Tick(251);
    ASSERT_EQ(1, analyses_);
    const Platform::Milliseconds refreshDue = clock_.Now() + 251;
    Platform::TakeRequestedTick();
    for (const Platform::Milliseconds advance : {93, 93}) {
        newWindow_ = true;
        pitch_ = 440.0f;
        Tick(advance);
        EXPECT_EQ(1, analyses_);
        EXPECT_EQ(refreshDue, Platform::TakeRequestedTick());
    }
    Tick(refreshDue - clock_.Now());
    EXPECT_EQ(2, analyses_);
    EXPECT_EQ("A", Object<Vabo::Text>("VisNote")->GetText());
    ASSERT_TRUE(AppTest::MarkMinimised(*window_, false));
}

// A new note shows at the refresh after its window, shown or minimised, never
// between refreshes.
TEST_F(TunerScreen, ANewNoteShowsAtTheNextRefreshNotBetween)
{
    Open();
    for (const bool minimised : {false, true}) {
        if (minimised) {
            ASSERT_TRUE(AppTest::MarkMinimised(*window_, true));
        }
        const Platform::Milliseconds interval = minimised ? 250 : 50;
        pitch_ = 329.63f;
        newWindow_ = true;
        Tick(interval + 1);
        ASSERT_EQ("E", Object<Vabo::Text>("VisNote")->GetText());
        pitch_ = 440.0f;
        for (Platform::Milliseconds passed = 10; passed <= interval; passed += 10) {
            newWindow_ = true;
            Tick(10);
            EXPECT_EQ("E", Object<Vabo::Text>("VisNote")->GetText()) << passed << " ms" << (minimised ? ", minimised" : "");
        }
        Tick(1);
        EXPECT_EQ("A", Object<Vabo::Text>("VisNote")->GetText()) << (minimised ? "minimised" : "");
    }
    ASSERT_TRUE(AppTest::MarkMinimised(*window_, false));
}

TEST_F(TunerScreen, AMeasured440SelectsAndFocusesA4)
{
    Open();
    tuner_->SelectInstrument("VIOLIN");
    ASSERT_EQ((std::vector<std::string>{"G", "D", "A", "E"}), Notes());
    tuner_->SetDesiredFrequency(220.0f);
    Measure(440.0f);
    EXPECT_EQ("440.00 Hz", Object<Vabo::Text>("VisFreq")->GetText());
    EXPECT_EQ("A", Object<Vabo::Text>("VisNote")->GetText());
    EXPECT_EQ("440.00", Reference());
    EXPECT_FLOAT_EQ(440.0f, AppState::Instance().GetReferenceFrequency());

    // The container animates the focused note into the large slice.
    auto* container = Object<Vabo::LargeFocusContainer>("NoteContainer");
    for (int i = 0; i < 10; ++i) {
        clock_.Advance(60);
        Vabo::Signal::Timer timer(clock_.Now());
        window_->Raise(&timer);
    }
    const auto& wrappers = container->GetWrappers();
    for (std::size_t i : {0u, 1u, 3u})
        EXPECT_GT(wrappers.at(2)->GetWidth(), wrappers.at(i)->GetWidth()) << i;

    EXPECT_TRUE(tuner_->SelectNoteByName("E5"));
    EXPECT_FALSE(tuner_->SelectNoteByName("C4")) << "not a string of the violin";
    EXPECT_FALSE(tuner_->SelectNoteByName("Xx"));
}

TEST_F(TunerScreen, AManualPickWithAutoSelectOnAsksFirst)
{
    Open();
    Click(Note(1));
    ASSERT_EQ(1u, questions_.size());
    EXPECT_EQ("INFO: To manually select a note to tune to, switch AUTO SELECT off. | LATER, CHANGE", questions_[0]);
    EXPECT_EQ(1, tuner_->AutoSelectState()) << "LATER changes nothing";
    EXPECT_EQ("440.00", Reference());

    answer_ = "CHANGE";
    Click(Note(1));
    EXPECT_EQ(0, tuner_->AutoSelectState());
    EXPECT_EQ("440.00", Reference()) << "the answer does not pick the note";
    Click(Note(1));
    EXPECT_EQ("110.00", Reference()) << "A2, now that auto-select is off";
    EXPECT_EQ(2u, questions_.size());

    Measure(82.41f);
    EXPECT_EQ("110.00", Reference()) << "with auto-select off a measurement picks nothing";
    EXPECT_EQ("82.41 Hz", Object<Vabo::Text>("VisFreq")->GetText());
}

TEST_F(TunerScreen, OnTheRealQuestionOnlyChangeSwitchesAutoSelectOff)
{
    Open();
    TunerLayout::SetQuestion({});
    // What the user does once the box is up: a key, or a click at a fraction
    // of its button row (20 pixels in from each side of the 440-pixel box, 130 down).
    struct Case {
        SDL_Keycode key;
        float across;
        int autoSelect;
    };
    const Case cases[] = {{SDLK_ESCAPE, 0.0f, 1}, {0, 1.0f / 3.0f, 1}, {SDLK_ESCAPE, 0.0f, 1}, {0, 2.0f / 3.0f, 0}};
    for (const Case& c : cases) {
        bool answered = false;
        Vabo::VaboWnd::PostCall([&] {
            const auto box = [] { return AppTest::NewestWindowTitled("Pellora"); };
            const std::uint32_t main = window_->GetHostWnd()->GetNativeWindow()->Id();
            AppTest::PumpUntil([&] { return box() != main; });
            if (c.key)
                TestSupport::PushKey(box(), c.key);
            else
                AppTest::PushClick(box(), 20 + int(400 * c.across), 146);
            answered = true;
        });
        Click(Note(1));
        EXPECT_TRUE(answered);
        EXPECT_EQ(c.autoSelect, tuner_->AutoSelectState()) << (c.key ? "Escape" : "a click at ") << c.across;
    }
    EXPECT_EQ("440.00", Reference()) << "no answer picks the note";
}

TEST_F(TunerScreen, TheDialsTipCoversNoOtherControl)
{
    Open();
    window_->GetHostWnd()->GetScreenManager().SetWindowActive(true);
    auto* dial = Object<Vabo::GuiObject>("TuneVis");
    const auto rect = [](Vabo::GuiObject* o) {
        return Vabo::Rect{o->GetWindowX(), o->GetWindowY(), o->GetWidth(), o->GetHeight()};
    };
    const auto overlap = [](const Vabo::Rect& a, const Vabo::Rect& b) {
        return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
    };
    const Vabo::Rect d = rect(dial);
    // The pointer low and high over the dial, left and right.
    for (const Vabo::Point pointer : {Vabo::Point{d.x + 200, d.y + 150}, Vabo::Point{d.x + 20, d.y + 20},
                                      Vabo::Point{d.x + d.width - 10, d.y + d.height - 10}}) {
        ASSERT_TRUE(dial->ShowToolTip(true, &pointer));
        Vabo::GuiObject* tip = dial->GetToolTipWindow();
        ASSERT_NE(nullptr, tip);
        const Vabo::Rect shown{tip->GetX(), tip->GetY(), tip->GetWidth(), tip->GetHeight()};
        for (const char* name : {"INPUT", "DesiredFrequency", "FieldLabel", "NoteContainer", "PowerLightVis"})
            EXPECT_FALSE(overlap(shown, rect(Object<Vabo::GuiObject>(name))))
                << name << " under the tip at " << shown.x << "," << shown.y << " " << shown.width << "x"
                << shown.height << " for the pointer at " << pointer.x << "," << pointer.y;
        EXPECT_FALSE(shown.x <= pointer.x && pointer.x < shown.x + shown.width && shown.y <= pointer.y
                     && pointer.y < shown.y + shown.height)
            << "the tip is not under the pointer";
        dial->ShowToolTip(false, nullptr);
    }
}

// The bottom row stands close: a slider's tip covers none of the controls
// and captions around it, and a tip's text grows with the window.
TEST_F(TunerScreen, TheBottomRowsTipsCoverNoNeighbourAndTipsGrowWithTheWindow)
{
    Open();
    window_->GetHostWnd()->MakeMainWindow();
    window_->GetHostWnd()->GetScreenManager().SetWindowActive(true);
    const auto rect = [](Vabo::GuiObject* o) {
        return Vabo::Rect{o->GetWindowX(), o->GetWindowY(), o->GetWidth(), o->GetHeight()};
    };
    const auto overlap = [](const Vabo::Rect& a, const Vabo::Rect& b) {
        return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
    };
    const char* const row[] = {"SampleVis", "LevelLabel",  "ThresholdLabel", "ThresholdSlider", "VolumeInput",
                               "VolumeOutput", "InLabel", "OutLabel",       "Standby",         "NoteContainer"};
    for (const char* slider : {"ThresholdSlider", "VolumeInput", "VolumeOutput"}) {
        auto* control = Object<Vabo::GuiObject>(slider);
        const Vabo::Rect c = rect(control);
        const Vabo::Point pointer{c.x + c.width / 2, c.y + c.height / 2};
        ASSERT_TRUE(control->ShowToolTip(true, &pointer)) << slider;
        Vabo::GuiObject* tip = control->GetToolTipWindow();
        const Vabo::Rect shown{tip->GetX(), tip->GetY(), tip->GetWidth(), tip->GetHeight()};
        for (const char* name : row)
            EXPECT_FALSE(overlap(shown, rect(Object<Vabo::GuiObject>(name))))
                << slider << "'s tip at " << shown.x << "," << shown.y << " " << shown.width << "x" << shown.height
                << " covers " << name;
        control->ShowToolTip(false, nullptr);
    }

    auto* input = Object<Vabo::GuiObject>("VolumeInput");
    const auto textSize = [&] {
        const Vabo::Point pointer{input->GetWindowX(), input->GetWindowY()};
        EXPECT_TRUE(input->ShowToolTip(true, &pointer));
        const float size =
            Vabo::GetXMLObject<Vabo::Text>(input->GetToolTipWindow(), "Text")->GetFont()->GetPixelSize();
        input->ShowToolTip(false, nullptr);
        return size;
    };
    const float small = textSize();
    window_->SetSize(1200, 750);
    EXPECT_NEAR(1.5f * small, textSize(), 0.1f) << "at one and a half times the size";
}

TEST_F(TunerScreen, TypedFrequenciesAreClampedAndWordsKeepTheReference)
{
    Open();
    const std::pair<const char*, const char*> cases[] = {{"220", "220.00"},  {"10", "16.00"},       {"7000", "6645.00"},
                                                         {"abc", "6645.00"}, {"261.5Hz", "261.50"}, {"", "261.50"},
                                                         {"nan", "261.50"},  {"16", "16.00"},       {"1e9", "6645.00"}};
    for (const auto& [typed, shown] : cases) {
        Type(typed);
        EXPECT_EQ(shown, Reference()) << "typed \"" << typed << "\"";
    }
    EXPECT_FLOAT_EQ(6645.0f, AppState::Instance().GetReferenceFrequency());
}

TEST_F(TunerScreen, TheMinimisedTitleShowsTheMeasurement)
{
    Open();
    window_->Minimize();
    ASSERT_TRUE(AppTest::MarkMinimised(*window_, true));
    Measure(440.0f);
    EXPECT_EQ("Pellora", window_->GetTitle()) << "the title waits for its own interval";
    clock_.Advance(200);
    Measure(440.0f);
    EXPECT_EQ("440.00 Hz (440.00 Hz, A)", window_->GetTitle());
    // Nothing heard: the program's name stands in for the reading, and no
    // empty note is listed.
    for (float nothing : {0.0f, -1.0f}) {
        clock_.Advance(300);
        Measure(nothing);
        EXPECT_EQ("Pellora (440.00 Hz)", window_->GetTitle()) << nothing;
    }
}

// Minimised, each window of the long buffers (93 ms) brings a new reading,
// the analysis takes the clock a few ms (some more, some less), and the clock
// ticks when the screen asks it to: the title shows a window's reading at the
// first refresh after it, a title interval and an analysis later at most.
TEST_F(TunerScreen, MinimisedTheTitleFollowsTheNextWindowWithinItsInterval)
{
    Open();
    window_->Minimize();
    ASSERT_TRUE(AppTest::MarkMinimised(*window_, true));
    const Platform::Milliseconds start = clock_.Now();
    std::vector<std::pair<Platform::Milliseconds, std::string>> windows; // arrival, title it brings
    Platform::Milliseconds longest = 0;
    std::size_t shown = 0;
    Platform::TakeRequestedTick();
    Platform::Milliseconds due = start;
    while (clock_.Now() - start < 3000) {
        if ((clock_.Now() - start) / 93 >= Platform::Milliseconds(windows.size())) {
            pitch_ = 400.0f + float(windows.size());
            analysisMs_ = windows.size() % 2 ? 1 : 6;
            newWindow_ = true;
            char reading[32];
            std::snprintf(reading, sizeof reading, "%0.2f Hz (", double(pitch_));
            windows.emplace_back(clock_.Now(), reading);
        }
        if (clock_.Now() < due) {
            clock_.Advance(1);
            continue;
        }
        Tick(0);
        const Platform::Milliseconds asked = Platform::TakeRequestedTick();
        due = asked == Platform::kNoTick ? clock_.Now() + 10 : std::max(asked, clock_.Now() + 10);
        for (std::size_t k = shown; k < windows.size(); ++k)
            if (window_->GetTitle().rfind(windows[k].second, 0) == 0) {
                for (; shown <= k; ++shown)
                    longest = std::max(longest, clock_.Now() - windows[shown].first);
            }
    }
    EXPECT_GT(shown, 10u);
    EXPECT_LE(longest, 251 + 6) << "the title waited " << longest << " ms for a window";
    ASSERT_TRUE(AppTest::MarkMinimised(*window_, false));
}

TEST_F(TunerScreen, MinimisedItAnalysesOnlyAsOftenAsTheTitleChanges)
{
    Open();
    ASSERT_TRUE(AppTest::MarkMinimised(*window_, true));
    // A new window before each tick of a whole second.
    for (int i = 0; i < 20; ++i)
        Measure(440.0f);
    EXPECT_GE(analyses_, 3) << "the title is refreshed every 0.25 s";
    EXPECT_LE(analyses_, 4) << "not every 0.05 s";
    EXPECT_EQ("440.00 Hz (440.00 Hz, A)", window_->GetTitle());
    ASSERT_TRUE(AppTest::MarkMinimised(*window_, false));
    const int shown = analyses_;
    for (int i = 0; i < 10; ++i)
        Measure(440.0f);
    EXPECT_EQ(shown + 10, analyses_) << "shown again, every refresh analyses";
}

TEST_F(TunerScreen, MinimisedTheSoundComesInLongBuffersAndShownInShortOnes)
{
    Open();
    AudioDevice& device = AudioDevice::Instance();
    ASSERT_EQ(0, device.RestartCapture());
    // The buffers change only on a capture that delivers (one that does not
    // may hang on its server): each change waits until the frames move on,
    // which on a busy machine may take longer than the change allows.
    const auto delivering = [&] {
        const double from = device.Input().StreamTime();
        return SoundRig::WaitFor([&] { return device.Input().StreamTime() > from; }, SoundRig::CaptureStartMs);
    };
    ASSERT_TRUE(AppTest::MarkMinimised(*window_, true));
    Measure(440.0f);
    EXPECT_FALSE(device.IsSlowCapture()) << "minimised for a moment, the capture is left as it runs";
    clock_.Advance(1000);
    ASSERT_TRUE(delivering());
    Measure(440.0f);
    EXPECT_TRUE(device.IsSlowCapture());
    EXPECT_TRUE(device.Input().IsActive()) << "capture runs on";
    EXPECT_TRUE(SoundRig::CapturesInLongBuffersOnly(device));
    ASSERT_TRUE(AppTest::MarkMinimised(*window_, false));
    ASSERT_TRUE(delivering());
    Measure(440.0f);
    EXPECT_FALSE(device.IsSlowCapture());
    EXPECT_TRUE(device.Input().IsActive());
    EXPECT_FALSE(SoundRig::CapturesInLongBuffersOnly(device)) << "shown, the displays get the sound in short buffers";
}

TEST(TunerTitle, AMinimisedTitleIsWellFormedWithOrWithoutAReading)
{
    const struct {
        const char* program;
        const char* reading;
        float reference;
        const char* note;
        const char* title;
    } cases[] = {
        {"Pellora", "82.41 Hz", 82.41f, "E2", "82.41 Hz (82.41 Hz, E2)"},
        {"Pellora", "", 441.5f, "", "Pellora (441.50 Hz)"},
        {"Pellora", "SOUND INPUT LOST", 110.0f, "", "SOUND INPUT LOST (110.00 Hz)"},
        {"", "", 440.0f, "", "(440.00 Hz)"},
        {"", "439.80 Hz", 440.0f, "A4", "439.80 Hz (440.00 Hz, A4)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.title, TunerLayout::MinimisedTitle(c.program, c.reading, c.reference, c.note)) << c.title;
}

TEST_F(TunerScreen, AStoredHiddenTunerStartsOnTheMetronome)
{
    SettingsStore::Instance().Set("TunerVisible", false);
    Open();
    EXPECT_FALSE(tuner_->IsVisible());
    auto* metronome = Vabo::GetXMLObject<Vabo::GuiObject>(window_.get(), "MetronomeLayout");
    ASSERT_NE(nullptr, metronome);
    EXPECT_TRUE(metronome->IsVisible());
    window_.reset();
    EXPECT_NE(std::string::npos, Settings().find("TunerVisible=0\n"));
}

TEST_F(TunerScreen, AScreenWhoseChoiceButtonsAreGoneKeepsTheStoredChoices)
{
    Store("Instrument", "VIOLIN");
    Store("Style", "STANDARD");
    Store("Transpose", "CONCERT");
    Store("AutoSelect", "0");
    Open();
    // As while the screen is taken apart at the end: its controls go first.
    DllGlobalObjectFactoryInstance().ForgetObject(tuner_);
    tuner_->SaveTunerSettings();
    window_.reset();
    const std::string settings = Settings();
    for (const char* line : {"Instrument=VIOLIN\n", "Style=STANDARD\n", "Transpose=CONCERT\n", "AutoSelect=0\n"})
        EXPECT_NE(std::string::npos, settings.find(line)) << line << " in\n" << settings;
}

TEST_F(TunerScreen, ASkinWithoutItsObjectsStillBuildsAndSaysWhatIsMissing)
{
    TiXmlDocument document;
    document.Parse("<TunerLayout Name=\"Bare\"><Config BaseXML=\"XML/Main/TunerConfig.xml\" /></TunerLayout>");
    Platform::LogCapture log;
    std::unique_ptr<TunerLayout> bare;
    ASSERT_NO_THROW(bare = std::make_unique<TunerLayout>(loader_.ResolveBaseXML(document.RootElement())));
    for (const char* name : {"INST", "NoteContainer", "DesiredFrequency", "VolumeInput", "Standby", "AutoSelect"})
        EXPECT_TRUE(log.Contains("the skin has no " + std::string(name))) << name;
    bare->SetDesiredFrequency(330.0f);
    EXPECT_FLOAT_EQ(330.0f, AppState::Instance().GetReferenceFrequency());
    EXPECT_NO_THROW(bare->SelectInstrument("BASS"));
    Vabo::Signal::Timer timer(clock_.Now() + 100);
    newWindow_ = true;
    EXPECT_NO_THROW(bare->SendToSelf(&timer));

    bare->HelpActiveSlot(nullptr, nullptr);
    ASSERT_FALSE(questions_.empty());
    EXPECT_EQ("No help file available | ", questions_.back());

    // Never shown, it never read the stored choices, so it does not write
    // its defaults over them.
    bare.reset();
    EXPECT_EQ("", Settings());
}

TEST_F(TunerScreen, TheInputListPutsLineBeforeMicAndAFreshStartTakesTheMic)
{
    AudioDevice& device = AudioDevice::Instance();
    RealInputsAtTheEnd restore;
    MixerLine line, mic;
    line.lineId = 9001;
    line.componentType = MixerComponent::SrcLine;
    mic.lineId = 9002;
    mic.componentType = MixerComponent::SrcMicrophone;
    device.RefreshInputs({{"MIC", mic}, {"LINE", line}});

    // Built but not yet ready: as construction leaves the list and its button.
    window_ = AppTest::BuildMainWindow(loader_);
    tuner_ = Vabo::GetXMLObject<TunerLayout>(window_.get(), "TunerLayout");
    ASSERT_NE(nullptr, tuner_);
    std::vector<std::string> entries;
    for (Vabo::GuiObject* entry : Object<ComboBox>("InputCombo")->GetChildren())
        if (!entry->GetName().empty() && entry->GetName() != "Background")
            entries.push_back(entry->GetName());
    EXPECT_EQ((std::vector<std::string>{"LINE", "MIC"}), entries);
    EXPECT_EQ("LINE", tuner_->ChoiceText("INPUT"));

    AppTest::ShowMainWindow(*window_);
    EXPECT_EQ("MIC", tuner_->ChoiceText("INPUT"));
    EXPECT_EQ(9002u, device.SelectedLine().lineId);
}

TEST_F(TunerScreen, AStoredLineInTheMixersOwnCaseIsTakenAndTheMicIsTheDefault)
{
    AudioDevice& device = AudioDevice::Instance();
    RealInputsAtTheEnd restore;
    // Named as an ALSA card names them, and as earlier versions stored them.
    AudioDevice::InputMap lines;
    unsigned id = 9101;
    for (const char* name : {"Capture", "Internal Mic", "Mic"})
        lines[name].lineId = id++;
    device.RefreshInputs(lines);
    const struct {
        const char* stored; // nullptr: nothing stored
        const char* shown;
        unsigned line;
    } cases[] = {
        {"Internal Mic", "INTERNAL MIC", 9102}, {"capture", "CAPTURE", 9101},
        {"MIC", "MIC", 9103},                   {nullptr, "MIC", 9103},
    };
    for (const auto& c : cases) {
        std::remove(SettingsStore::FilePath().c_str());
        if (c.stored)
            Store("Input", c.stored);
        Open();
        EXPECT_EQ(c.shown, tuner_->ChoiceText("INPUT")) << (c.stored ? c.stored : "nothing stored");
        EXPECT_EQ(c.line, device.SelectedLine().lineId) << (c.stored ? c.stored : "nothing stored");
        window_.reset();
    }
}

TEST_F(TunerScreen, StandbyTheSwitchAndACaptureThatCannotStart)
{
    Open();
    AudioDevice& device = AudioDevice::Instance();
    ASSERT_TRUE(device.Input().IsActive()) << "the screen starts capture";
    // A click turns the button, then the screen hears it.
    auto* standby = Object<Vabo::ToggleButton>("Standby");
    Click(standby);
    ASSERT_EQ(1, standby->GetState());
    EXPECT_FALSE(device.Input().IsActive());
    Click(standby);
    EXPECT_TRUE(device.Input().IsActive());

    device.Input().Stop();
    device.Input().Close();
    standby->SetState(1);
    EXPECT_FALSE(tuner_->Standby(false));
    EXPECT_EQ(0, standby->GetState());
    ASSERT_FALSE(questions_.empty());
    EXPECT_EQ("Could not open input device! Stop other applications using your sound port | ", questions_.back());
    ASSERT_EQ(0, device.Input().Open(AudioDevice::CaptureRate, AudioDevice::CaptureFrames));
    ASSERT_EQ(0, device.RestartCapture());

    // The switch to the metronome stops the capture and the reference tone.
    auto* play = Object<Vabo::ToggleButton>("Play");
    Click(play);
    ASSERT_TRUE(device.Output().IsActive());
    standby->SetState(1);
    Click(Object<Vabo::GuiObject>("TitleRow->Switch"));
    EXPECT_FALSE(device.Input().IsActive());
    EXPECT_FALSE(device.Output().IsActive());
    EXPECT_EQ(0, play->GetState());
    EXPECT_EQ(0, standby->GetState());
    EXPECT_FALSE(tuner_->IsVisible());
    EXPECT_TRUE(Vabo::GetXMLObject<Vabo::GuiObject>(window_.get(), "MetronomeLayout")->IsVisible());
}

TEST_F(TunerScreen, VolumeSlidersShowTheMixerWithoutWritingItBackAndAPickOpensTheLineFully)
{
    Open();
    AudioDevice& device = AudioDevice::Instance();
    RecordMixer& record = RecordMixer::Instance();
    PlaybackMixer& playback = PlaybackMixer::Instance();
    const MixerLine line = device.SelectedLine();
    const int outputBefore = device.GetOutputVolume();
    auto* metronome = Vabo::GetXMLObject<MetronomeLayout>(window_.get(), "MetronomeLayout");
    ASSERT_NE(nullptr, metronome);
    const std::pair<Vabo::GuiObject*, std::function<void()>> screens[] = {
        {tuner_, [this] { tuner_->UpdateVolumeSliders(); }},
        {metronome, [metronome] { metronome->UpdateVolumeSliders(); }}};
    for (const auto& [screen, update] : screens) {
        auto* input = Vabo::GetXMLObject<Vabo::ObjectSlider>(screen, "VolumeInput");
        auto* output = Vabo::GetXMLObject<Vabo::ObjectSlider>(screen, "VolumeOutput");
        // Between two whole percents: a value written back would be rounded.
        ASSERT_TRUE(record.SetLineVolume(line, 0.6104));
        ASSERT_TRUE(playback.SetVolumeOfComponentType(MixerComponent::SrcWaveOut, 0.4207));
        const double in = record.GetLineVolume(line);
        const double out = playback.GetVolumeOfComponentType(MixerComponent::SrcWaveOut);
        update();
        EXPECT_EQ(61, input->GetValue()) << screen->GetName();
        EXPECT_EQ(42, output->GetValue()) << screen->GetName();
        EXPECT_DOUBLE_EQ(in, record.GetLineVolume(line)) << screen->GetName();
        EXPECT_DOUBLE_EQ(out, playback.GetVolumeOfComponentType(MixerComponent::SrcWaveOut)) << screen->GetName();
        // The user's own moves are written.
        input->SetValue(30);
        output->SetValue(70);
        EXPECT_EQ(30, device.GetInputVolume()) << screen->GetName();
        EXPECT_EQ(70, device.GetOutputVolume()) << screen->GetName();
    }
    device.SetOutputVolume(outputBefore);

    // Picking a line from the list opens it fully.
    const std::string name = Capitals(device.GetInputs().begin()->first);
    for (Vabo::GuiObject* entry : Object<ComboBox>("InputCombo")->GetChildren())
        if (entry->GetName() == name)
            Click(entry);
    EXPECT_EQ(name, tuner_->ChoiceText("INPUT"));
    EXPECT_EQ(100, device.GetInputVolume());
    EXPECT_EQ(100, Object<Vabo::ObjectSlider>("VolumeInput")->GetValue());
}

TEST_F(TunerScreen, TheThresholdRoundTripsAndTheSettingsAreReadOnce)
{
    Store("Threshold", "12");
    Open();
    AppState& state = AppState::Instance();
    auto* slider = Object<Vabo::ObjectSlider>("ThresholdSlider");
    EXPECT_EQ(12, slider->GetValue());
    EXPECT_EQ(12, state.Threshold);
    slider->SetValue(30);
    EXPECT_EQ(30, state.Threshold);

    Store("Threshold", "50");
    Store("Frequency", "300");
    Vabo::Signal::ObjectReady again;
    window_->Raise(&again);
    EXPECT_EQ(30, state.Threshold) << "the settings are not read a second time";
    EXPECT_EQ("440.00", Reference());
    window_.reset();
    EXPECT_NE(std::string::npos, Settings().find("Threshold=30\n"));
}

// A new note sets the target and moves the focus along the note strip: the
// readings, the target and the strip are drawn again, the controls around them
// are not (the target box once made its whole screen dirty on the way to
// showing the note).
TEST_F(TunerScreen, ANewNoteRedrawsTheReadingsAndTheTargetButNotTheControlsAround)
{
    Open();
    Measure(110.0f);
    Vabo::VaboWnd* host = window_->GetHostWnd();
    host->Redraw();
    Measure(146.83f);
    ASSERT_EQ("146.83", Reference());
    GdiplusGfxLayer::Region dirty = host->GetScreenManager().GetDirtyRegion();
    const auto drawn = [&](const char* name) {
        GdiplusGfxLayer::Region region = dirty;
        region.Intersect(Object<Vabo::GuiObject>(name)->GetRectInTopLevel());
        return !region.IsEmpty();
    };
    for (const char* name : {"VisNote", "VisFreq", "DesiredFrequency"})
        EXPECT_TRUE(drawn(name)) << name;
    for (const char* name : {"INST", "Play", "Standby", "VolumeInput", "ThresholdSlider"})
        EXPECT_FALSE(drawn(name)) << name;
}

// A refresh makes dirty only the displays whose values changed: the needle
// and the in-tune lamp that show what they showed are not drawn again, the
// input display is.
TEST_F(TunerScreen, ARefreshLeavesTheDisplaysWhoseValuesStayPutAlone)
{
    Open();
    Measure(329.63f);
    Vabo::VaboWnd* host = window_->GetHostWnd();
    host->Redraw();
    const auto dirty = [&](const char* name) {
        GdiplusGfxLayer::Region region = host->GetScreenManager().GetDirtyRegion();
        region.Intersect(Object<Vabo::GuiObject>(name)->GetRectInTopLevel());
        return !region.IsEmpty();
    };
    ASSERT_FALSE(dirty("SampleVis"));
    Measure(329.63f);
    EXPECT_FALSE(dirty("TuneVis"));
    EXPECT_FALSE(dirty("PowerLightVis"));
    EXPECT_TRUE(dirty("SampleVis"));
}
