// The metronome screen on the real skin inside the real main window: what a
// first run shows, typed tempos, presets, accents and outputs, the settings
// kept at the end and read once, skins and configurations that lack what the
// screen needs, and the timed refresh of its displays.
#include "app/ComboBox.h"
#include "app/MetronomeLayout.h"
#include "app/SettingsStore.h"
#include "app/vis/MetronomeSampleVis.h"
#include "app/vis/MetronomeVis.h"

#include "AppTestSupport.h"
#include "audio/AppState.h"
#include "audio/AudioDevice.h"
#include "audio/LatestBlock.h"
#include "audio/LoopBuffer.h"
#include "audio/SoundRig.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/drawing/Region.h"
#include "framework/host/AppWindow.h"
#include "framework/widgets/EditBox.h"
#include "framework/widgets/EditBoxSignal.h"
#include "framework/widgets/LargeFocusContainer.h"
#include "framework/widgets/ObjectSlider.h"
#include "framework/widgets/ObjectSliderSignal.h"
#include "framework/widgets/Text.h"
#include "framework/widgets/ToggleButton.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"

#include "MarkMinimised.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class MetronomeScreen : public AppTest::ScreenFixture {
protected:
    void SetUp() override
    {
        AppTest::ScreenFixture::SetUp();
        MetronomeLayout::SetMessage([this](const std::string& text) { messages_.push_back(text); });
        Platform::SetClockSource([this] { return clock_.Now(); });
    }

    void TearDown() override
    {
        window_.reset();
        // Closed, so that later tests find the output as a fresh program does.
        AudioDevice::Instance().StopOutput();
        AudioDevice::Instance().Output().Close();
        MetronomeLayout::SetMessage({});
        Platform::SetClockSource({});
        AppTest::ScreenFixture::TearDown();
    }

    // Builds the main window from the real skin as the program does before
    // its loop runs: connections made, then "ready"; the metronome shown.
    void Open()
    {
        window_ = AppTest::OpenMainWindow(loader_);
        metronome_ = Vabo::GetXMLObject<MetronomeLayout>(window_.get(), "MetronomeLayout");
        ASSERT_NE(nullptr, metronome_);
    }

    template <class T> T* Object(const std::string& name) { return Vabo::GetXMLObject<T>(metronome_, name); }

    void Type(const std::string& text)
    {
        Vabo::Signal::EditBoxSignal entered(text);
        Object<Vabo::EditBox>("DesiredBpm")->SendToSelf(&entered);
    }

    std::string Box() { return Object<Vabo::EditBox>("DesiredBpm")->GetEditText(); }

    // The clock moves on and the screen gets the timer signal it brings.
    void Tick(Platform::Milliseconds ms)
    {
        clock_.Advance(ms);
        Vabo::Signal::Timer timer(clock_.Now());
        metronome_->SendToSelf(&timer);
    }

    // How many pixels of RECT (window coordinates) the next frame redraws.
    static int DirtyArea(Vabo::ScreenManager& screens, const Vabo::Rect& rect)
    {
        GdiplusGfxLayer::Region region = screens.GetDirtyRegion();
        region.Intersect(rect);
        int area = 0;
        for (int i = 0; i < cairo_region_num_rectangles(region.Get()); ++i) {
            cairo_rectangle_int_t part;
            cairo_region_get_rectangle(region.Get(), i, &part);
            area += part.width * part.height;
        }
        return area;
    }

    // The preset shown largest once the strip's animation has run; null when
    // all are equal.
    Vabo::GuiObject* Focused()
    {
        auto* container = Object<Vabo::LargeFocusContainer>("PresetContainer");
        for (int i = 0; i < 100; ++i) {
            clock_.Advance(50);
            Vabo::Signal::Timer timer(clock_.Now());
            container->SendToSelf(&timer);
        }
        const auto& wrappers = container->GetWrappers();
        Vabo::GuiObject* largest = nullptr;
        int width = 0;
        bool equal = true;
        for (const auto& wrapper : wrappers) {
            if (largest && wrapper->GetObject()->GetWidth() != width)
                equal = false;
            if (wrapper->GetObject()->GetWidth() > width) {
                width = wrapper->GetObject()->GetWidth();
                largest = wrapper->GetObject();
            }
        }
        return equal ? nullptr : largest;
    }

    Platform::ManualClock clock_{100000};
    MetronomeLayout* metronome_ = nullptr;
    std::vector<std::string> messages_;
    std::uint32_t aboutShown_ = 0;
};

TEST_F(MetronomeScreen, AFirstRunShows114ModeratoAccentFourAndTheToneFirst)
{
    Open();
    const AppState& state = AppState::Instance();
    EXPECT_EQ(114, state.GetBpm());
    EXPECT_EQ(4, state.GetAccent());
    EXPECT_EQ("114", Box());
    EXPECT_EQ("MODERATO", metronome_->TitleText()) << "the tempo shows large below it";
    EXPECT_EQ("114", Object<Vabo::Text>("VisBpm")->GetText());
    EXPECT_EQ("ACCENT: 4", metronome_->ChoiceText("ACCENT"));
    EXPECT_EQ("TONE", metronome_->ChoiceText("OUTPUT"));
    ASSERT_NE(nullptr, Focused());
    EXPECT_EQ("MODERATO 114", Focused()->GetName());
    EXPECT_FALSE(metronome_->IsPlayActive());
}

TEST_F(MetronomeScreen, TypedTempoClampsToTenTo5000AndTextThatIsNoNumberKeepsTheTempo)
{
    Open();
    Type("7");
    EXPECT_EQ(10, AppState::Instance().GetBpm());
    EXPECT_EQ("10", Box());
    EXPECT_EQ("CUSTOM", metronome_->TitleText());
    EXPECT_EQ(nullptr, Focused()) << "no preset of 10: all arranged equally";
    Type("6000");
    EXPECT_EQ(5000, AppState::Instance().GetBpm());
    Type("abc");
    EXPECT_EQ(5000, AppState::Instance().GetBpm()) << "not 5000 by accident: it was 5000 before";
    Type("120");
    Type("12.5");
    Type("");
    Type("90 bpm");
    EXPECT_EQ(120, AppState::Instance().GetBpm());
    EXPECT_EQ("120", Box()) << "the box shows the kept tempo again";
    Type(" 90 ");
    EXPECT_EQ(90, AppState::Instance().GetBpm());
    EXPECT_EQ("ANDANTE", metronome_->TitleText());
    ASSERT_NE(nullptr, Focused());
    EXPECT_EQ("ANDANTE 90", Focused()->GetName());

    int bpm = 0;
    EXPECT_TRUE(MetronomeLayout::ParseTempo("-3", bpm));
    EXPECT_EQ(10, bpm);
    EXPECT_TRUE(MetronomeLayout::ParseTempo("99999999999999", bpm));
    EXPECT_EQ(5000, bpm);
    EXPECT_FALSE(MetronomeLayout::ParseTempo("0x20", bpm));

    // A tempo below 1 is refused on every path.
    EXPECT_FALSE(metronome_->SetTempo(0));
    EXPECT_EQ(90, AppState::Instance().GetBpm());
}

TEST_F(MetronomeScreen, PresetsAccentsAndOutputsChangeWhatTheyNameAndNothingElse)
{
    Open();
    auto* container = Object<Vabo::LargeFocusContainer>("PresetContainer");
    std::vector<std::string> names;
    for (const auto& wrapper : container->GetWrappers())
        names.push_back(wrapper->GetObject()->GetName());
    EXPECT_EQ((std::vector<std::string>{"LARGO 50", "ADAGIO 70", "ANDANTE 90", "MODERATO 114", "ALLEGRO 140", "PRESTO 180"}), names);
    Vabo::Signal::Activate activate;
    container->GetWrappers().front()->GetObject()->InvokeSlots(&activate, container->GetWrappers().front()->GetObject(),
                                                               window_.get());
    EXPECT_EQ(50, AppState::Instance().GetBpm());
    EXPECT_EQ("LARGO", metronome_->TitleText());

    EXPECT_FALSE(metronome_->SelectAccent("Background"));
    EXPECT_FALSE(metronome_->SelectAccent("ACCENT: 99"));
    EXPECT_EQ(4, AppState::Instance().GetAccent()) << "an accent the store lacks leaves the bar as it was";
    EXPECT_EQ("ACCENT: 4", metronome_->ChoiceText("ACCENT"));
    EXPECT_TRUE(metronome_->SelectAccent("ACCENT: 3"));
    EXPECT_EQ(3, AppState::Instance().GetAccent());
    EXPECT_EQ("ACCENT: 3", metronome_->ChoiceText("ACCENT"));

    EXPECT_FALSE(metronome_->SelectOutput("Background"));
    EXPECT_EQ("TONE", metronome_->ChoiceText("OUTPUT"));
    EXPECT_TRUE(metronome_->SelectOutput("WOOD"));
    EXPECT_EQ("WOOD", metronome_->ChoiceText("OUTPUT"));
}

TEST_F(MetronomeScreen, APresetThePointerOrTheRingHasLeftGivesTheLargePlaceBackToTheTempos)
{
    const struct {
        const char* tempo;
        bool click; // the preset is clicked while the pointer is over it
        const char* focused; // once the pointer has left it; "" for none
    } cases[] = {
        {"114", false, "MODERATO 114"},
        {"100", false, ""},
        {"114", true, "LARGO 50"},
    };
    for (const auto& c : cases) {
        Open();
        Type(c.tempo);
        Vabo::GuiObject* largo =
            Object<Vabo::LargeFocusContainer>("PresetContainer")->GetWrappers().front()->GetObject();
        largo->SetSelected(true);
        EXPECT_EQ(largo, Focused()) << c.tempo;
        if (c.click) {
            Vabo::Signal::Activate activate;
            largo->InvokeSlots(&activate, largo, window_.get());
        }
        largo->SetSelected(false);
        Vabo::GuiObject* focused = Focused();
        EXPECT_EQ(c.focused, focused ? focused->GetName() : "") << c.tempo << (c.click ? ", clicked" : "");
        window_.reset();
    }
}

TEST_F(MetronomeScreen, AListOpensAtTheChoiceInEffectSoTheKeysCountFromItAndReturnKeepsIt)
{
    Open();
    const struct {
        const char* list;
        const char* button;
        const char* choice;
        const char* above;
    } lists[] = {{"AccentCombo", "ACCENT", "ACCENT: 6", "ACCENT: 5"}, {"OutputCombo", "OUTPUT", "WOOD", "SAMPLE"}};
    for (const auto& row : lists) {
        SCOPED_TRACE(row.button);
        auto* list = Object<ComboBox>(row.list);
        ASSERT_NE(nullptr, list);
        Vabo::Signal::Activate activate;
        Vabo::GuiObject* entry = AppTest::EntryNamed(*list, row.choice);
        ASSERT_NE(nullptr, entry);
        entry->InvokeSlots(&activate, entry, window_.get());
        ASSERT_EQ(row.choice, metronome_->ChoiceText(row.button));
        EXPECT_EQ((std::vector<std::string>{row.choice, row.above, row.choice, ""}),
                  AppTest::MarksAfterKeys(*list, {AppTest::kUpKey, AppTest::kDownKey, AppTest::kReturnKey}));
        EXPECT_EQ(row.choice, metronome_->ChoiceText(row.button));
        EXPECT_FALSE(list->IsVisible());
    }
}

TEST_F(MetronomeScreen, SettingsAreReadOnceWhenThePresetsAreReadyAndWrittenAtTheEnd)
{
    Store("Bpm", "140");
    Store("Accent", "ACCENT: 6");
    Store("Output", "CLAVE");
    Open();
    EXPECT_EQ(140, AppState::Instance().GetBpm());
    EXPECT_EQ("ALLEGRO", metronome_->TitleText());
    EXPECT_EQ(6, AppState::Instance().GetAccent());
    EXPECT_EQ("CLAVE", metronome_->ChoiceText("OUTPUT"));

    Type("60");
    Store("Bpm", "180");
    Vabo::Signal::ObjectReady again;
    metronome_->PresetContainerReady(&again, metronome_);
    EXPECT_EQ(60, AppState::Instance().GetBpm()) << "the settings are not read a second time";

    window_.reset();
    const std::string settings = Settings();
    for (const char* line : {"Bpm=60\n", "Accent=ACCENT: 6\n", "Output=CLAVE\n"})
        EXPECT_NE(std::string::npos, settings.find(line)) << line << " in\n" << settings;
}

TEST_F(MetronomeScreen, AScreenWhoseControlsAreGoneFindsNothingAndWritesNoEmptyChoice)
{
    Store("Bpm", "140");
    Store("Accent", "ACCENT: 6");
    Store("Output", "CLAVE");
    Open();
    // As while the screen is taken apart at the end: its controls go first.
    DllGlobalObjectFactoryInstance().ForgetObject(metronome_);
    EXPECT_EQ("", metronome_->ChoiceText("ACCENT"));
    EXPECT_EQ("", metronome_->TempoText());
    EXPECT_EQ("", metronome_->TitleText());
    EXPECT_FALSE(metronome_->IsPlayActive());
    EXPECT_FALSE(metronome_->SelectPreset("ALLEGRO"));
    metronome_->SaveMetronomeSettings();
    window_.reset();
    const std::string settings = Settings();
    for (const char* line : {"Bpm=140\n", "Accent=ACCENT: 6\n", "Output=CLAVE\n"})
        EXPECT_NE(std::string::npos, settings.find(line)) << line << " in\n" << settings;
}

TEST_F(MetronomeScreen, AWindowThatNeverGotReadyLeavesTheStoredChoicesAlone)
{
    Store("Bpm", "140");
    Store("Accent", "ACCENT: 6");
    Store("Output", "CLAVE");
    // As when a later connection of the skin fails: built, never ready.
    AppTest::BuildMainWindow(loader_).reset();
    const std::string settings = Settings();
    for (const char* line : {"Bpm=140\n", "Accent=ACCENT: 6\n", "Output=CLAVE\n"})
        EXPECT_NE(std::string::npos, settings.find(line)) << line << " in\n" << settings;
}

TEST_F(MetronomeScreen, StoredValuesThatMakeNoBarFallBack)
{
    Store("Bpm", "fast");
    Store("Accent", "ACCENT: 0");
    Open();
    EXPECT_EQ(114, AppState::Instance().GetBpm()) << "a corrupt tempo reads as the default";
    EXPECT_EQ(4, AppState::Instance().GetAccent()) << "an accent the store lacks is not applied";
    window_.reset();
    Store("Bpm", "0");
    Open();
    EXPECT_EQ(10, AppState::Instance().GetBpm()) << "a stored tempo is held to what can be typed";
}

TEST_F(MetronomeScreen, TheDisplaysAreRefreshedEveryTwentiethOfASecondWhileShown)
{
    Open();
    auto* frequency = Object<Vabo::Text>("VisFreq");
    Tick(100);
    EXPECT_EQ("", frequency->GetText()) << "hidden: nothing is refreshed";
    Vabo::Signal::Activate show;
    metronome_->SlotShow(&show, metronome_);
    Tick(1);
    EXPECT_EQ("440.00 Hz", frequency->GetText());
    AppState::Instance().SetReferenceFrequency(442.5f);
    Tick(50);
    EXPECT_EQ("440.00 Hz", frequency->GetText()) << "not more than 0.05 s since the last refresh";
    Tick(1);
    EXPECT_EQ("442.50 Hz", frequency->GetText());
    AppState::Instance().SetReferenceFrequency(440.0f);
}

// A beat due within an interval after the next refresh is drawn as it is
// heard: that refresh waits for it, and never comes sooner than the interval.
TEST(MetronomeDisplays, TheRefreshAfterTheIntervalWaitsForABeatDueWithinTheNextOne)
{
    const struct {
        double toBeat;
        float wait;
    } rows[] = {
        {-1.0, 0.05f}, // at rest
        {0.01, 0.05f}, // the next refresh shows it
        {0.05, 0.05f},  {0.07, 0.07f}, {0.0999, 0.0999f},
        {0.101, 0.05f}, // a refresh comes before it
        {2.0, 0.05f},
    };
    for (const auto& row : rows)
        EXPECT_FLOAT_EQ(row.wait, MetronomeLayout::DisplayWait(0.05f, row.toBeat)) << row.toBeat;
}

TEST_F(MetronomeScreen, MinimisedNothingIsRefreshedAndNoTickAskedForUntilTheWindowComesBack)
{
    Open();
    auto* frequency = Object<Vabo::Text>("VisFreq");
    const auto tick = [this](Platform::Milliseconds ms) {
        clock_.Advance(ms);
        Platform::TakeRequestedTick();
        Vabo::Signal::Timer timer(clock_.Now());
        metronome_->SendToSelf(&timer);
        return Platform::TakeRequestedTick();
    };
    Vabo::Signal::Activate show;
    metronome_->SlotShow(&show, metronome_);
    EXPECT_NE(Platform::kNoTick, tick(60));
    EXPECT_EQ("440.00 Hz", frequency->GetText());
    ASSERT_TRUE(AppTest::MarkMinimised(*window_, true));
    AppState::Instance().SetReferenceFrequency(442.5f);
    EXPECT_EQ(Platform::kNoTick, tick(60)) << "the clock may sleep";
    EXPECT_EQ("440.00 Hz", frequency->GetText());
    ASSERT_TRUE(AppTest::MarkMinimised(*window_, false));
    EXPECT_NE(Platform::kNoTick, tick(60));
    EXPECT_EQ("442.50 Hz", frequency->GetText()) << "shown again, the displays move on";
    AppState::Instance().SetReferenceFrequency(440.0f);
}

TEST_F(MetronomeScreen, ARefreshDrawsAgainOnlyTheDisplaysThatMoved)
{
    Open();
    Vabo::VaboWnd& host = *window_->GetHostWnd();
    Vabo::ScreenManager& screens = host.GetScreenManager();
    const auto dirty = [&](const char* name) {
        Vabo::GuiObject* display = Object<Vabo::GuiObject>(name);
        return DirtyArea(screens, Vabo::Rect{display->GetWindowX(), display->GetWindowY(), display->GetWidth(),
                                             display->GetHeight()}) > 0;
    };
    const char* const displays[] = {"MetronomeVis", "MetronomeSampleVis", "BeatLightVis"};
    Vabo::Signal::Activate show;
    metronome_->SlotShow(&show, metronome_);
    // The tuner's capture stops as the switch to this screen stops it: it
    // would hear the clicks below.
    AudioDevice::Instance().StopInput();
    Tick(60);
    host.Redraw();
    // Stopped, nothing captured: nothing moves.
    Tick(60);
    for (const char* name : displays)
        EXPECT_FALSE(dirty(name)) << name;

    auto* play = Object<Vabo::ToggleButton>("Play");
    play->InvokeSlots(&show, play, window_.get());
    ASSERT_TRUE(AudioDevice::Instance().Output().IsActive());
    host.Redraw();
    // Playing, the beat displays move with the sound played.
    EXPECT_TRUE(SoundRig::WaitFor(
        [&] {
            Tick(60);
            return dirty("MetronomeVis") && dirty("BeatLightVis");
        },
        SoundRig::CaptureStartMs));
    EXPECT_FALSE(dirty("MetronomeSampleVis")) << "the input display stays as it was";

    // Recording runs the capture: the input display shows the clicks it hears.
    auto* record = Object<Vabo::ToggleButton>("Record");
    record->InvokeSlots(&show, record, window_.get());
    host.Redraw();
    float peak = 0.0f;
    EXPECT_TRUE(SoundRig::WaitFor(
        [&] {
            Tick(60);
            for (float v : LatestBlock::Instance().Get())
                peak = std::max(peak, std::fabs(v));
            return dirty("MetronomeSampleVis") && peak > 0.5f;
        },
        SoundRig::CaptureStartMs))
        << peak;
    record->InvokeSlots(&show, record, window_.get());
    play->InvokeSlots(&show, play, window_.get());
}

// Playing, a refresh makes dirty only the rows of the beat gauge that its
// columns' tops passed, not the gauge whole.
TEST_F(MetronomeScreen, PlayingARefreshDrawsAgainOnlyTheBandsTheGaugeMoved)
{
    Open();
    Vabo::VaboWnd& host = *window_->GetHostWnd();
    Vabo::ScreenManager& screens = host.GetScreenManager();
    auto* gauge = Object<MetronomeVis>("MetronomeVis");
    ASSERT_EQ(0, gauge->ShownIndex()) << "the beat gauge is shown first";
    const Vabo::Rect rect{gauge->GetWindowX(), gauge->GetWindowY(), gauge->GetWidth(), gauge->GetHeight()};
    const auto dirtyArea = [&] { return DirtyArea(screens, rect); };
    Vabo::Signal::Activate show;
    metronome_->SlotShow(&show, metronome_);
    auto* play = Object<Vabo::ToggleButton>("Play");
    play->InvokeSlots(&show, play, window_.get());
    ASSERT_TRUE(AudioDevice::Instance().Output().IsActive());
    // Its first refresh draws the gauge whole; each later one the bands.
    for (int refresh = 0; refresh < 3; ++refresh) {
        host.Redraw();
        ASSERT_TRUE(SoundRig::WaitFor(
            [&] {
                Tick(60);
                return dirtyArea() > 0;
            },
            SoundRig::CaptureStartMs));
    }
    EXPECT_LT(dirtyArea(), rect.width * rect.height / 4);
    play->InvokeSlots(&show, play, window_.get());
}

TEST_F(MetronomeScreen, AnOutputThatCannotStartResetsPlayAndSaysWhy)
{
    Open();
    ASSERT_TRUE(metronome_->SelectOutput("WOOD"));
    auto* play = Object<Vabo::ToggleButton>("Play");
    Vabo::Signal::Activate activate;
    {
        // The click files are looked for in the program's folder.
        DocMapFolders elsewhere(config_.Path(), PELLORA_SOURCE_DIR "/lib/VABO/XML");
        Platform::LogCapture log;
        play->InvokeSlots(&activate, play, window_.get());
        EXPECT_TRUE(log.Contains("WoodNormal.wav")) << "the log names the file";
    }
    EXPECT_EQ(0, play->GetState());
    EXPECT_FALSE(AudioDevice::Instance().Output().IsActive());
    ASSERT_EQ(1u, messages_.size());
    EXPECT_EQ("The clicks of WOOD could not be made: their sound files cannot be read", messages_[0]);

    // With the files found it plays.
    play->InvokeSlots(&activate, play, window_.get());
    EXPECT_EQ(1, play->GetState());
    EXPECT_TRUE(AudioDevice::Instance().Output().IsActive());
    EXPECT_EQ(1u, messages_.size());
}

TEST_F(MetronomeScreen, EachScreensInputDisplayIsOfItsOwnType)
{
    Open();
    auto* tuner = Vabo::GetXMLObject<Vabo::GuiObject>(window_.get(), "TunerLayout");
    ASSERT_NE(nullptr, tuner);
    const auto* own = dynamic_cast<MetronomeSampleVis*>(Object<Vabo::GuiObject>("MetronomeSampleVis"));
    ASSERT_NE(nullptr, own);
    EXPECT_EQ("MetronomeSampleVis", own->GetTypeName());
    auto* tuners = dynamic_cast<SampleVis*>(Vabo::GetXMLObject<Vabo::GuiObject>(tuner, "SampleVis"));
    ASSERT_NE(nullptr, tuners);
    EXPECT_EQ(nullptr, dynamic_cast<MetronomeSampleVis*>(tuners));
    EXPECT_EQ("SampleVis", tuners->GetTypeName());
}

TEST_F(MetronomeScreen, HelpShowsTheAboutWindowOverTheMainWindowAndEscapeClosesIt)
{
    Open();
    Vabo::VaboWnd::PostCall([this] {
        aboutShown_ = AppTest::NewestWindowTitled("About Pellora");
        if (aboutShown_)
            TestSupport::PushKey(aboutShown_, SDLK_ESCAPE);
    });
    auto* help = Object<Vabo::GuiObject>("TitleRow->Help");
    ASSERT_NE(nullptr, help);
    Vabo::Signal::Activate activate;
    help->InvokeSlots(&activate, help, window_.get());
    EXPECT_NE(0u, aboutShown_) << "the About window ran its own loop";
    EXPECT_EQ(0u, AppTest::NewestWindowTitled("About Pellora")) << "and is gone";
}

TEST_F(MetronomeScreen, ShowingTheScreenReadsTheVolumesAgain)
{
    Open();
    AudioDevice& device = AudioDevice::Instance();
    auto* input = Object<Vabo::ObjectSlider>("VolumeInput");
    const int before = device.GetInputVolume();
    ASSERT_GE(before, 0);
    const int changed = before == 40 ? 60 : 40;
    // Changed while the screen is hidden (as the tuner's slider would), the
    // slider learns of it when the screen shows again.
    device.SetInputVolume(changed);
    EXPECT_EQ(before, input->GetValue());
    Vabo::Signal::Activate show;
    metronome_->SlotShow(&show, metronome_);
    const int shown = input->GetValue();
    device.SetInputVolume(before);
    EXPECT_EQ(changed, shown);
}

TEST_F(MetronomeScreen, AVolumeSliderAbove100ChangesNothing)
{
    Open();
    AudioDevice& device = AudioDevice::Instance();
    const struct {
        const char* slider;
        std::function<int()> get;
        std::function<void(int)> set;
    } lines[] = {
        {"VolumeInput", [&] { return device.GetInputVolume(); }, [&](int v) { device.SetInputVolume(v); }},
        {"VolumeOutput", [&] { return device.GetOutputVolume(); }, [&](int v) { device.SetOutputVolume(v); }},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.slider);
        const int before = line.get();
        ASSERT_GE(before, 0);
        line.set(40);
        // What each value sent by the slider leaves the mixer at.
        const struct {
            int value;
            int volume;
        } moves[] = {{101, 40}, {150, 40}, {60, 60}, {100, 100}, {101, 100}};
        for (const auto& move : moves) {
            Vabo::Signal::ObjectSliderSignal moved(move.value);
            Object<Vabo::ObjectSlider>(line.slider)->SendToSelf(&moved);
            EXPECT_EQ(move.volume, line.get()) << move.value;
        }
        line.set(before);
    }
}

TEST(MetronomeSkin, AScreenLackingItsObjectsOrItsChoicesIsRefusedNamingWhatIsMissing)
{
    DllVaboInitInstance();
    DocMapFolders folders(PELLORA_SOURCE_DIR, PELLORA_SOURCE_DIR "/lib/VABO/XML");
    {
        TiXmlDocument document;
        document.Parse("<MetronomeLayout Name=\"Bare\"><Config BaseXML=\"XML/Main/MetronomeConfig.xml\" />"
                       "</MetronomeLayout>");
        Platform::LogCapture log;
        EXPECT_THROW(MetronomeLayout layout(document.RootElement()), XMLLoadSave::XMLLoadSaveException);
        EXPECT_TRUE(log.Contains("AccentCombo")) << "the first missing object is named";
        EXPECT_TRUE(log.Contains("PresetContainer")) << "and the last";
    }
    {
        TiXmlDocument document;
        document.Parse("<Config><AudioSamples /><PresetStore /><AccentStore><Data Name=\"A\" Value=\"4\" />"
                       "</AccentStore></Config>");
        Platform::LogCapture log;
        EXPECT_THROW(MetronomeConfig config(document.RootElement()), XMLLoadSave::XMLLoadSaveException);
        EXPECT_TRUE(log.Contains("AudioSamples"));
    }
    {
        TiXmlDocument document;
        document.Parse("<Config><AudioSamples><Sample Name=\"TONE\" Normal=\"\" Accent=\"\" /></AudioSamples>"
                       "<PresetStore /><AccentStore /></Config>");
        Platform::LogCapture log;
        EXPECT_THROW(MetronomeConfig config(document.RootElement()), XMLLoadSave::XMLLoadSaveException);
        EXPECT_TRUE(log.Contains("AccentStore"));
    }
}

} // namespace
