// The real program ended from outside, each run on an X server of its own:
// its display's server killed, its connection killed by another client (as
// xkill does), its main window destroyed by another client,
// and the ending signals, with and without the About window open (and a
// drag from another client's window that closed, which ends nothing). Each time
// it ends by itself, with the settings that the session held written as the
// close button writes them: the stored choices kept, the screen shown last
// remembered, no choice written empty.
#include "ProgramTestSupport.h"
#include "support/ForeignClient.h"
#include "support/PrivateDisplay.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

using namespace ProgramTest;

namespace {

struct Ending {
    const char* what;
    // The About window is open over the main window when the end comes.
    bool aboutOpen;
    std::function<void(Program&, PrivateDisplay&, const std::string& window)> end;
    int status;
    // How the last line on stderr starts, where one is said.
    std::string says = "";
};

void Send(Program& program, int number)
{
    ASSERT_EQ(0, kill(program.Pid(), number));
}

// Starts the program on a display of its own with stored choices, switches to
// the metronome (a change the session holds), ends it as the row says, and
// checks how it ended and what it wrote.
void EndsKeepingTheSettings(const Ending& row)
{
    SCOPED_TRACE(row.what);
    PrivateDisplay display;
    ASSERT_TRUE(display.Running()) << "no Xvfb";
    TempFolder settings;
    ASSERT_EQ(0, std::system(("mkdir -p " + settings.Path() + "/vintrel-pellora").c_str()));
    std::ofstream(settings.Path() + "/vintrel-pellora/settings.ini")
        << "[Pellora Settings]\nInstrument=VIOLIN\nStyle=STANDARD\nAutoSelect=0\nBpm=96\n";
    Program program("", PELLORA_SOURCE_DIR, settings.Path());
    Shown window;
    ASSERT_TRUE(Eventually([&] { return (window = FindWindow("Pellora")).found; })) << program.Errors();
    ASSERT_TRUE(Eventually([&] { return Pixel(window.x + 100, window.y + 200) == "#0C1116"; }));
    const std::string id = ProgramWindowId(program.Pid(), "Pellora");
    const int probeX = window.x + 360, probeY = window.y + 470;
    const std::string panel = Pixel(probeX, probeY);
    Click(window.x + 711, window.y + 20);
    ASSERT_TRUE(Eventually([&] { return Pixel(probeX, probeY) != panel; })) << "the metronome shows";
    if (row.aboutOpen) {
        Click(window.x + 681, window.y + 20);
        ASSERT_TRUE(Eventually([&] { return FindWindow("About Pellora").found; })) << "the About window";
    }

    const auto start = std::chrono::steady_clock::now();
    row.end(program, display, id);
    const int status = program.Status();
    std::printf("%s: status %d after %.2f s\n", row.what, status,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    EXPECT_EQ(row.status, status) << program.Errors();
    if (!row.says.empty()) {
        std::string said = program.Errors();
        said = said.substr(said.rfind('\n', said.size() - 2) + 1);
        EXPECT_EQ(0u, said.find(row.says)) << said;
    }
    const std::string saved = program.Settings();
    for (const char* line : {"Instrument=VIOLIN\n", "Style=STANDARD\n", "AutoSelect=0\n", "TunerVisible=0\n",
                             "Bpm=96\n", "Accent=ACCENT: 4\n"})
        EXPECT_NE(std::string::npos, saved.find(line)) << line << " in\n" << saved;
    for (const char* empty : {"Instrument=\n", "Style=\n", "Transpose=\n", "Accent=\n", "Output=\n"})
        EXPECT_EQ(std::string::npos, saved.find(empty)) << empty << " in\n" << saved;
}

} // namespace

TEST(ProgramEnd, TheDisplayGoingAwayEndsItWithTheSettingsWritten)
{
    const std::string gone = "pellora: the display went away (the connection to the X server was lost); the "
                             "settings were written\n";
    const Ending rows[] = {
        {"the X server killed", false, [](Program&, PrivateDisplay& display, const std::string&) { display.Kill(); },
         1, gone},
        {"the X server killed under the About window", true,
         [](Program&, PrivateDisplay& display, const std::string&) { display.Kill(); }, 1, gone},
        {"our connection killed by another client", false,
         [](Program&, PrivateDisplay&, const std::string& window) {
             ASSERT_EQ(0, std::system(("xkill -id " + window + " >/dev/null").c_str()));
         },
         1,
         "pellora: the X server closed our connection to the display (another client, such as xkill, may have killed "
         "it); the settings were written\n"},
        {"our connection killed by another client under the About window", true,
         [](Program&, PrivateDisplay&, const std::string& window) {
             ASSERT_EQ(0, std::system(("xkill -id " + window + " >/dev/null").c_str()));
         },
         1,
         "pellora: the X server closed our connection to the display (another client, such as xkill, may have killed "
         "it); the settings were written\n"},
        {"the main window destroyed by another client", false,
         [](Program&, PrivateDisplay&, const std::string& window) {
             ASSERT_EQ(0, std::system(("xdotool windowclose " + window).c_str()));
         },
         0},
    };
    for (const Ending& row : rows)
        EndsKeepingTheSettings(row);
}

// Another client's messages about its own windows that are gone end nothing:
// the program then closes on SIGTERM as it would have without them.
TEST(ProgramEnd, ADragFromASourceThatClosedEndsNothing)
{
    EndsKeepingTheSettings({"a drag from a source that closed, then SIGTERM", false,
                            [](Program& program, PrivateDisplay&, const std::string& window) {
                                ForeignClient other;
                                ASSERT_TRUE(other.Connected());
                                for (const char* message : {"XdndEnter", "XdndPosition", "XdndDrop"})
                                    other.SendDrag(std::stoul(window), message, other.VanishedWindow());
                                std::this_thread::sleep_for(std::chrono::milliseconds(500));
                                EXPECT_LE(1, ShownWindows(program.Pid())) << program.Errors();
                                Send(program, SIGTERM);
                            },
                            0});
}

TEST(ProgramEnd, TheEndingSignalsCloseItAsTheCloseButtonDoes)
{
    const Ending rows[] = {
        {"SIGTERM", false, [](Program& program, PrivateDisplay&, const std::string&) { Send(program, SIGTERM); }, 0},
        {"SIGHUP", false, [](Program& program, PrivateDisplay&, const std::string&) { Send(program, SIGHUP); }, 0},
        {"SIGINT", false, [](Program& program, PrivateDisplay&, const std::string&) { Send(program, SIGINT); }, 0},
        {"SIGTERM under the About window", true,
         [](Program& program, PrivateDisplay&, const std::string&) { Send(program, SIGTERM); }, 0},
    };
    for (const Ending& row : rows)
        EndsKeepingTheSettings(row);
}

namespace {

// Whether the signal is in one of the process's signal sets as the kernel
// lists them: "SigCgt" (it has a handler) or "SigIgn" (ignored).
bool InSet(pid_t pid, const char* set, int number)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    const std::string field = std::string(set) + ":";
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0)
            return (std::stoull(line.substr(field.size()), nullptr, 16) >> (number - 1)) & 1;
    return false;
}

} // namespace

// The first ending signal begins the close, which cannot finish while the
// display's server is hung; the same signal again ends the program at once,
// by that signal, rather than waiting on the close.
TEST(ProgramEnd, TheSameSignalAgainEndsItWhileTheCloseCannotFinish)
{
    for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(strsignal(number));
        PrivateDisplay display;
        ASSERT_TRUE(display.Running()) << "no Xvfb";
        TempFolder settings;
        // Started from a terminal, whatever this process ignores.
        Program program("", PELLORA_SOURCE_DIR, settings.Path(), PELLORA_APP_BINARY, PELLORA_SOURCE_DIR,
                        [number] { std::signal(number, SIG_DFL); });
        ASSERT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) > 0; })) << program.Errors();
        ASSERT_TRUE(InSet(program.Pid(), "SigCgt", number));
        display.Hang();
        Send(program, number);
        // Taken: its handler is gone, so the next one is not merged with it.
        ASSERT_TRUE(Eventually([&] { return !InSet(program.Pid(), "SigCgt", number); }));
        Send(program, number);
        const int status = program.WaitStatus();
        EXPECT_TRUE(status != -1 && WIFSIGNALED(status) && WTERMSIG(status) == number)
            << "status " << status << "\n"
            << program.Errors();
    }
}

// Under nohup (SIGHUP) or as a background job of a shell (SIGINT) the signal
// is ignored when the program starts, and stays so; the others still close it.
TEST(ProgramEnd, AnEndingSignalIgnoredAtTheStartStaysIgnored)
{
    for (const int number : {SIGHUP, SIGINT}) {
        SCOPED_TRACE(strsignal(number));
        TempFolder settings;
        Program program("", PELLORA_SOURCE_DIR, settings.Path(), PELLORA_APP_BINARY, PELLORA_SOURCE_DIR,
                        [number] { std::signal(number, SIG_IGN); });
        ASSERT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) > 0; })) << program.Errors();
        EXPECT_TRUE(InSet(program.Pid(), "SigIgn", number));
        EXPECT_FALSE(InSet(program.Pid(), "SigCgt", number));
        EXPECT_TRUE(InSet(program.Pid(), "SigCgt", SIGTERM));
        Send(program, number);
        Send(program, SIGTERM);
        EXPECT_EQ(0, program.Status()) << program.Errors();
    }
}
