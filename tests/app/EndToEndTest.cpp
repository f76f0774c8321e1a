// The real program under the rig: started from the real skin it shows its
// window, the switch button shows the metronome screen, and the close button
// ends it with status 0 and the settings written; without a sound card it
// asks to retry, and cancelling ends it with status 1 and a message; so does
// a skin that is missing, broken or without the main window.
#include "ProgramTestSupport.h"
#include "audio/MixersBack.h"
#include "audio/SoundRig.h"
#include "support/DesktopLock.h"
#include "support/SlowLink.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace ProgramTest;

namespace {

// The tests that stop the sound server under the program leave it, and this
// process's mixers (which earlier tests opened), reading it again for the
// tests after them.
class EndToEnd : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_EQ("", SoundRig::BringServerBack(server_));
        EXPECT_TRUE(SoundRig::MixersReadTheServer()) << "the mixers do not read the sound server again";
    }

    const SoundRig::ServerSettings server_ = SoundRig::ReadServerSettings();
};

} // namespace

TEST_F(EndToEnd, StartsSwitchesToTheMetronomeAndClosesWithItsSettingsWritten)
{
    DesktopLock pointer("pointer");
    Program program;
    Shown window;
    ASSERT_TRUE(Eventually([&] { return (window = FindWindow("Pellora")).found; })) << program.Errors();
    EXPECT_EQ(800, window.width);
    EXPECT_EQ(500, window.height);

    // Right of the tuner's bottom display lies the panel; the metronome's display
    // reaches there.
    const int probeX = window.x + 360, probeY = window.y + 470;
    // Drawn: the main display's dark glass shows.
    ASSERT_TRUE(Eventually([&] { return Pixel(window.x + 100, window.y + 200) == "#0C1116"; }));
    const std::string panel = Pixel(probeX, probeY);
    Click(window.x + 711, window.y + 20);
    EXPECT_TRUE(Eventually([&] { return Pixel(probeX, probeY) != panel; })) << panel;

    Click(window.x + 771, window.y + 20);
    EXPECT_EQ(0, program.Status()) << program.Errors();
    const std::string settings = program.Settings();
    for (const char* line : {"[Pellora Settings]\n", "TunerVisible=0\n", "Bpm=114\n", "Accent=ACCENT: 4\n"})
        EXPECT_NE(std::string::npos, settings.find(line)) << line << " in\n" << settings;
}

TEST_F(EndToEnd, WithoutASoundCardCancellingTheQuestionEndsWithStatusOne)
{
    DesktopLock pointer("pointer");
    // An ALSA configuration that defines no "default" device.
    TempFolder alsa;
    const std::string config = alsa.Path() + "/asound.conf";
    std::ofstream(config) << "# nothing\n";
    Program program(config);
    Shown box;
    ASSERT_TRUE(Eventually([&] { return (box = FindWindow("Pellora")).found; })) << program.Errors();
    EXPECT_EQ(440, box.width);
    // "CANCEL": the second of two buttons in the row 20 pixels in from each
    // side, 130 down.
    Click(box.x + 20 + 400 * 2 / 3, box.y + 146);
    EXPECT_EQ(1, program.Status());
    EXPECT_NE(std::string::npos, program.Errors().find("No sound card has been detected")) << program.Errors();
    EXPECT_EQ("", program.Settings());
}

// A sound server that hangs at start-up is told as such, not taken for a
// missing sound card once the mixer's opening has waited for it in vain (no
// such opening is begun); CANCEL ends with status 1, and RETRY once the server
// answers again goes on to the main window.
TEST_F(EndToEnd, AtStartASoundServerThatDoesNotAnswerIsToldAsSuchAndRetryGoesOnOnceItAnswers)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    DesktopLock pointer("pointer");
    SoundRig::HungServer hung(std::chrono::seconds(60));
    ASSERT_TRUE(hung.Stopped());
    {
        Program cancelled;
        Shown box;
        ASSERT_TRUE(Eventually([&] { return (box = FindWindow("Pellora")).found; })) << cancelled.Errors();
        EXPECT_EQ(440, box.width);
        Click(box.x + 20 + 400 * 2 / 3, box.y + 146);
        EXPECT_EQ(1, cancelled.Status());
        const std::string errors = cancelled.Errors();
        EXPECT_NE(std::string::npos, errors.find("The sound server does not answer!")) << errors;
        EXPECT_EQ(std::string::npos, errors.find("opening of the mixer")) << errors;
        EXPECT_EQ("", cancelled.Settings());
    }
    Program retried;
    Shown box;
    ASSERT_TRUE(Eventually([&] { return (box = FindWindow("Pellora")).found; })) << retried.Errors();
    ASSERT_EQ(440, box.width);
    hung.Resume();
    // "RETRY": the first of the two buttons.
    Click(box.x + 20 + 400 / 3, box.y + 146);
    Shown window;
    ASSERT_TRUE(Eventually([&] { return (window = FindWindow("Pellora")).width == 800; })) << retried.Errors();
    Click(window.x + 771, window.y + 20);
    EXPECT_EQ(0, retried.Status()) << retried.Errors();
}

// A sound server that answers slowly, each reply held 10 ms as over a
// network: the program is not told of a missing card, its mixer opens after
// the window shows, and the input line stored is chosen then (which switches
// the server's capture on) and stored again at the end.
TEST_F(EndToEnd, OnASlowSoundServerTheStoredInputIsChosenOnceTheMixerOpensAndStaysStored)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    DesktopLock pointer("pointer");
    const int port = SlowLink(0, 0, std::chrono::seconds(0)).Port();
    struct Module {
        std::string index;
        ~Module() { SoundRig::Output("pactl unload-module " + index); }
    } module{SoundRig::Output("pactl load-module module-native-protocol-tcp port=" + std::to_string(port)
                              + " listen=127.0.0.1 auth-anonymous=1")};
    ASSERT_FALSE(module.index.empty());
    SlowLink link(port, 10);
    ASSERT_EQ(0, std::system("pactl set-source-mute @DEFAULT_SOURCE@ 1"));
    TempFolder config;
    ASSERT_EQ(0, std::system(("mkdir -p " + config.Path() + "/vintrel-pellora").c_str()));
    std::ofstream(config.Path() + "/vintrel-pellora/settings.ini") << "[Pellora Settings]\nInput=capture\n";
    const std::string server = "tcp:127.0.0.1:" + std::to_string(link.Port());
    {
        Program program("", PELLORA_SOURCE_DIR, config.Path(), PELLORA_APP_BINARY, PELLORA_SOURCE_DIR,
                        [&] { setenv("PULSE_SERVER", server.c_str(), 1); });
        Shown window;
        ASSERT_TRUE(Eventually([&] { return (window = FindWindow("Pellora")).found; })) << program.Errors();
        // The capture stream's opening keeps a bound of its own, which a
        // server this slow may outlast: its box is answered (OK, in the middle).
        if (window.width == 440)
            Click(window.x + 220, window.y + 146);
        ASSERT_TRUE(Eventually([&] { return (window = FindWindow("Pellora")).width == 800; }))
            << program.Errors() << "a window " << window.width << " wide shows";
        EXPECT_TRUE(Eventually([] {
            return SoundRig::Output("pactl get-source-mute @DEFAULT_SOURCE@") == "Mute: no\n";
        })) << "the stored input is not chosen";
        Click(window.x + 771, window.y + 20);
        EXPECT_EQ(0, program.Status()) << program.Errors();
        EXPECT_NE(std::string::npos, program.Settings().find("Input=CAPTURE\n")) << program.Settings();
    }
}

TEST_F(EndToEnd, AMissingOrIncompleteSkinEndsWithStatusOneNamingTheFile)
{
    TempFolder folder;
    // A tree $VINTREL_LIB may name holds the framework's definitions; the skin
    // beside them is the one under test.
    ASSERT_EQ(0, symlink(PELLORA_SOURCE_DIR "/lib", (folder.Path() + "/lib").c_str()));
    Program missing("", folder.Path(), "", PELLORA_APP_BINARY, folder.Path());
    EXPECT_EQ(1, missing.Status());
    EXPECT_NE(std::string::npos, missing.Errors().find("cannot load the skin XML/Pellora.xml")) << missing.Errors();

    ASSERT_EQ(0, std::system(("mkdir -p '" + folder.Path() + "/XML'").c_str()));
    std::ofstream(folder.Path() + "/XML/Pellora.xml") << "<Pellora><Other/></Pellora>\n";
    Program incomplete("", folder.Path(), "", PELLORA_APP_BINARY, folder.Path());
    EXPECT_EQ(1, incomplete.Status());
    EXPECT_NE(std::string::npos, incomplete.Errors().find("has no \"PelloraApp\" element")) << incomplete.Errors();

    std::ofstream(folder.Path() + "/XML/Pellora.xml") << "<Pellora><PelloraApp>\n";
    Program broken("", folder.Path(), "", PELLORA_APP_BINARY, folder.Path());
    EXPECT_EQ(1, broken.Status());
    EXPECT_NE(std::string::npos, broken.Errors().find("XML/Pellora.xml")) << broken.Errors();
}

namespace {

// No window manager runs on the test display: marking the window hidden, as
// one would on minimising it, is what the program sees as minimised.
void MarkMinimised(const std::string& id)
{
    ASSERT_EQ(
        0, std::system(("xprop -id " + id + " -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_HIDDEN").c_str()));
}

// What the minimised tuner writes in its title: the measured frequency, the
// reference and the note.
struct Reading {
    bool found = false;
    double measured = 0.0;
    double reference = 0.0;
    std::string note;
};

Reading ReadTitle(const std::string& id)
{
    std::string title = Output("xdotool getwindowname " + id + " 2>/dev/null");
    Reading reading;
    char note[16] = {0};
    reading.found =
        std::sscanf(title.c_str(), "%lf Hz (%lf Hz, %15[^)])", &reading.measured, &reading.reference, note) == 3;
    reading.note = note;
    return reading;
}

// A sine played into the sound server's sink for as long as it lives (at
// most as long as Eventually waits, by default), however long the program
// takes to hear it on a busy machine.
class Tone {
public:
    explicit Tone(double hz, int seconds = 20)
        : file_(SoundRig::ToneFile(hz, seconds, 0.4))
        , player_(file_)
    {
    }
    ~Tone() { std::remove(file_.c_str()); }

private:
    std::string file_;
    SoundRig::Player player_;
};

double Cents(double a, double b)
{
    return 1200.0 * std::log2(a / b);
}

} // namespace

TEST_F(EndToEnd, TheTunerNamesPlayedTonesHearsItsReferenceInTuneAndKeepsTheChoices)
{
    DesktopLock pointer("pointer");
    TempFolder settings;
    {
        Program program("", PELLORA_SOURCE_DIR, settings.Path());
        Shown window;
        ASSERT_TRUE(Eventually([&] { return (window = FindWindow("Pellora")).found; })) << program.Errors();
        ASSERT_TRUE(Eventually([&] { return Pixel(window.x + 700, window.y + 200) == "#0C1116"; }));
        const std::string id = ProgramWindowId(program.Pid(), "Pellora");
        MarkMinimised(id);

        for (double hz : {110.0, 440.0}) {
            Tone tone(hz);
            Reading reading;
            EXPECT_TRUE(Eventually([&] {
                reading = ReadTitle(id);
                return reading.found && std::fabs(reading.measured - hz) < 0.5;
            })) << hz
                << " Hz: the title reads " << reading.measured;
            EXPECT_EQ("A", reading.note) << hz;
        }
        // A2 is a guitar string, A4 is not: the reference stays on A2.
        EXPECT_DOUBLE_EQ(110.0, ReadTitle(id).reference);

        // The reference tone, heard back through the sound server.
        Click(window.x + 748, window.y + 440);
        Reading reading;
        EXPECT_TRUE(Eventually([&] {
            reading = ReadTitle(id);
            return reading.found && std::fabs(Cents(reading.measured, reading.reference)) <= 0.1;
        })) << "heard "
            << reading.measured << " Hz of a " << reading.reference << " Hz reference";
        Click(window.x + 748, window.y + 440);

        // The transposition list, and its second entry once the list is open.
        const int shown = ShownWindows(program.Pid());
        Click(window.x + 316, window.y + 69);
        ASSERT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) > shown; })) << "the list opens";
        Click(window.x + 316, window.y + 133);
        ASSERT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) == shown; })) << "the list closes";
        Click(window.x + 771, window.y + 20);
        EXPECT_EQ(0, program.Status()) << program.Errors();
        const std::string saved = program.Settings();
        for (const char* line : {"Frequency=110\n", "Instrument=GUITAR\n", "Style=STANDARD\n", "Transpose=IN B♭\n",
                                 "AutoSelect=1\n", "TunerVisible=1\n"})
            EXPECT_NE(std::string::npos, saved.find(line)) << line << " in\n" << saved;
    }

    // A second run starts from the stored choices and keeps them.
    Program again("", PELLORA_SOURCE_DIR, settings.Path());
    Shown window;
    ASSERT_TRUE(Eventually([&] { return (window = FindWindow("Pellora")).found; })) << again.Errors();
    ASSERT_TRUE(Eventually([&] { return Pixel(window.x + 700, window.y + 200) == "#0C1116"; }));
    Click(window.x + 771, window.y + 20);
    EXPECT_EQ(0, again.Status()) << again.Errors();
    EXPECT_NE(std::string::npos, again.Settings().find("Transpose=IN B♭\n")) << again.Settings();
    EXPECT_NE(std::string::npos, again.Settings().find("Frequency=110\n")) << again.Settings();
}

// The sound server goes away while the tuner listens, and comes back: the
// tuner says the input was lost and listens again by itself. It goes away
// while the metronome shows, and comes back: going back to the tuner must not
// start the stopped stream of the old server (the library then waits for
// ever, and the window with it), and the tuner names a new tone.
TEST_F(EndToEnd, TheTunerSaysTheInputWasLostAndListensAgainWhenTheSoundServerReturns)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    DesktopLock pointer("pointer");
    Program program;
    Shown window;
    ASSERT_TRUE(Eventually([&] { return (window = FindWindow("Pellora")).found; })) << program.Errors();
    ASSERT_TRUE(Eventually([&] { return Pixel(window.x + 100, window.y + 200) == "#0C1116"; }));
    const std::string id = ProgramWindowId(program.Pid(), "Pellora");
    const auto title = [&] { return Output("xdotool getwindowname " + id + " 2>/dev/null"); };
    // Within 8 s of the server's return: its sink and the capture's start
    // take a few of them.
    const auto names = [&](double hz) {
        const auto start = std::chrono::steady_clock::now();
        Tone tone(hz, 8);
        Reading reading;
        while (std::chrono::steady_clock::now() - start < std::chrono::seconds(8)) {
            reading = ReadTitle(id);
            if (reading.found && std::fabs(reading.measured - hz) < 0.5) {
                std::printf("%.0f Hz named %.2f s after the server was back\n", hz,
                            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ADD_FAILURE() << hz << " Hz: the title reads \"" << title() << "\"";
        return false;
    };

    MarkMinimised(id);
    ASSERT_TRUE(SoundRig::StopServer());
    EXPECT_TRUE(Eventually([&] { return title().rfind("SOUND INPUT LOST", 0) == 0; })) << title();
    ASSERT_TRUE(SoundRig::StartServer());
    EXPECT_TRUE(names(330.0));

    // Shown again, so that the switch to the metronome can be seen.
    ASSERT_EQ(0, std::system(("xprop -id " + id + " -remove _NET_WM_STATE").c_str()));
    const int probeX = window.x + 360, probeY = window.y + 470;
    ASSERT_TRUE(Eventually([&] { return Pixel(window.x + 100, window.y + 200) == "#0C1116"; }));
    const std::string panel = Pixel(probeX, probeY);
    Click(window.x + 711, window.y + 20);
    ASSERT_TRUE(Eventually([&] { return Pixel(probeX, probeY) != panel; }))
        << "the metronome shows: still " << panel << ", the title reads \"" << title() << "\"\n"
        << program.Errors();
    ASSERT_TRUE(SoundRig::StopServer());
    ASSERT_TRUE(SoundRig::StartServer());
    Click(window.x + 711, window.y + 20);
    MarkMinimised(id);
    EXPECT_TRUE(names(220.0));

    Click(window.x + 771, window.y + 20);
    EXPECT_EQ(0, program.Status()) << program.Errors();
}
