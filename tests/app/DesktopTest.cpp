// The program on a desktop with a window manager (openbox): installed into a
// prefix it starts from any folder, a second start brings the first window
// forward and ends; moves by the window manager are where the next drag
// starts, the grip follows the pointer from the point pressed, and maximised
// or full screen the screens keep their aspect inside the panel's colour;
// the keys pick from a list and close or answer the About window and a box,
// and Tab moves a ring through the controls and along the buttons of the About
// window and the box, whose Return presses the ringed one.
#include "ProgramTestSupport.h"
#include "support/DesktopLock.h"
#include "support/TempFolder.h"
#include "support/WindowManager.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace ProgramTest;

namespace {

const char* const kPanel = "#23272E";
const char* const kGlass = "#0C1116";

// The window manager's settings for every desktop test.
const char* const kOpenboxConfig = PELLORA_TEST_DATA "/openbox/rc.xml";

void Xdotool(const std::string& arguments)
{
    ASSERT_EQ(0, std::system(("xdotool " + arguments).c_str())) << arguments;
}

std::string Screenshot(const std::string& name)
{
    const std::string file = std::string(PELLORA_BINARY_DIR) + "/screenshots/" + name + ".png";
    std::system(("mkdir -p " PELLORA_BINARY_DIR "/screenshots && import -window root " + file).c_str());
    return file;
}

bool SameRect(const Shown& shown, int x, int y, int width, int height)
{
    return shown.found && shown.x == x && shown.y == y && shown.width == width && shown.height == height;
}

// A colour "#RRGGBB" of the close button's red, in whatever shade scaling gives.
bool Red(const std::string& colour)
{
    if (colour.size() != 7)
        return false;
    const long rgb = std::strtol(colour.c_str() + 1, nullptr, 16);
    return (rgb >> 16) > 0xB0 && ((rgb >> 8) & 0xFF) < 0x70 && (rgb & 0xFF) < 0x70;
}

} // namespace

TEST(Desktop, TheInstalledProgramStartsFromAnyFolderAndASecondStartBringsItForward)
{
    DesktopLock pointer("pointer");
    WindowManager manager(kOpenboxConfig);
    ASSERT_TRUE(manager.Running());
    TempFolder prefix, elsewhere, settings;
    const std::string install = "cmake --install " PELLORA_BINARY_DIR " --prefix " + prefix.Path() + " >/dev/null";
    ASSERT_EQ(0, std::system(install.c_str()));
    std::ifstream entry(prefix.Path() + "/share/applications/pellora.desktop");
    std::stringstream text;
    text << entry.rdbuf();
    EXPECT_NE(std::string::npos, text.str().find("\nExec=" + prefix.Path() + "/bin/pellora\n")) << text.str();
    EXPECT_TRUE(std::ifstream(prefix.Path() + "/share/icons/hicolor/256x256/apps/pellora.png").good());

    const std::string installed = prefix.Path() + "/bin/pellora";
    Program first("", elsewhere.Path(), settings.Path(), installed, "");
    Shown window;
    ASSERT_TRUE(Eventually([&] { return (window = FindWindow("Pellora")).found; })) << first.Errors();
    ASSERT_TRUE(Eventually([&] { return Pixel(window.x + 100, window.y + 200) == kGlass; })) << first.Errors();
    const std::string id = Output("xdotool search --onlyvisible --name '^Pellora$'");

    Xdotool("windowminimize --sync " + id);
    ASSERT_FALSE(FindWindow("Pellora").found);
    Program second("", elsewhere.Path(), settings.Path(), installed, "");
    EXPECT_EQ(0, second.Status()) << second.Errors();
    EXPECT_TRUE(Eventually([&] { return FindWindow("Pellora").found; })) << "the first window comes back";
    EXPECT_TRUE(Eventually([&] { return Output("xdotool getactivewindow") == id; })) << "and takes the keyboard";

    Click(window.x + 771, window.y + 20);
    EXPECT_EQ(0, first.Status()) << first.Errors();
    EXPECT_NE(std::string::npos, first.Settings().find("[Pellora Settings]")) << first.Settings();
}

TEST(Desktop, TheWindowFollowsTheWindowManagerAndKeepsItsAspectMaximisedAndFullScreen)
{
    DesktopLock pointer("pointer");
    WindowManager manager(kOpenboxConfig);
    ASSERT_TRUE(manager.Running());
    Program program;
    Shown start;
    ASSERT_TRUE(Eventually([&] { return (start = FindWindow("Pellora")).found; })) << program.Errors();
    ASSERT_TRUE(Eventually([&] { return Pixel(start.x + 100, start.y + 200) == kGlass; }));

    // Alt-drag by the window manager, then a drag on the title row: the
    // second drag starts where the first one left the window.
    const auto at = [](int x, int y) { return std::to_string(x) + " " + std::to_string(y); };
    Xdotool("mousemove --sync " + at(start.x + 400, start.y + 300) + " sleep 0.3 keydown alt sleep 0.2 mousedown 1"
            + " sleep 0.2 mousemove --sync " + at(start.x + 430, start.y + 320) + " sleep 0.2 mousemove --sync "
            + at(start.x + 460, start.y + 340) + " sleep 0.2 mouseup 1 sleep 0.1 keyup alt");
    ASSERT_TRUE(Eventually([&] { return SameRect(FindWindow("Pellora"), start.x + 60, start.y + 40, 800, 500); }))
        << start.x << "," << start.y << " -> " << FindWindow("Pellora").x << "," << FindWindow("Pellora").y;
    Xdotool("mousemove --sync " + at(start.x + 360, start.y + 60) + " mousedown 1 sleep 0.2 mousemove --sync "
            + at(start.x + 375, start.y + 70) + " sleep 0.2 mousemove --sync " + at(start.x + 390, start.y + 80)
            + " sleep 0.3 mouseup 1");
    ASSERT_TRUE(Eventually([&] { return SameRect(FindWindow("Pellora"), start.x + 90, start.y + 60, 800, 500); }))
        << FindWindow("Pellora").x << "," << FindWindow("Pellora").y;

    // The grip: the corner keeps the point pressed, from the first motion on.
    const int left = start.x + 90, top = start.y + 60;
    Xdotool("mousemove --sync " + at(left + 786, top + 486) + " mousedown 1 sleep 0.2 mousemove --sync "
            + at(left + 786, top + 491) + " sleep 0.3");
    EXPECT_TRUE(Eventually([&] { return SameRect(FindWindow("Pellora"), left, top, 808, 505); }))
        << FindWindow("Pellora").width << "x" << FindWindow("Pellora").height;
    Xdotool("mousemove --sync " + at(left + 786, top + 536) + " sleep 0.3 mouseup 1");
    ASSERT_TRUE(Eventually([&] { return SameRect(FindWindow("Pellora"), left, top, 880, 550); }));
    // SDL counts a second click as a double click by when the program reads
    // it, not by when it was made: a program still drawing the frames of the
    // resize would read the two clicks apart. The red of the close button,
    // left of its cross, where only the frame of the new size has it.
    ASSERT_TRUE(Eventually([&] { return Red(Pixel(left + 766 * 880 / 800, top + 20 * 880 / 800)); }))
        << "the frame of the new size";

    // Maximised by a double click on the title row: 1280 x 800 of screens in
    // the middle of the 1280 x 1024 screen, the panel's colour above and below.
    Xdotool("mousemove --sync " + at(left + 300, top + 20) + " click --repeat 2 --delay 80 1");
    ASSERT_TRUE(Eventually([&] { return SameRect(FindWindow("Pellora"), 0, 0, 1280, 1024); }));
    EXPECT_TRUE(Eventually([&] { return Pixel(160, 112 + 200 * 8 / 5) == kGlass; }));
    EXPECT_EQ(kPanel, Pixel(640, 50));
    EXPECT_EQ(kPanel, Pixel(640, 1000));
    Screenshot("maximised-tuner");
    // The switch button, scaled: the metronome shows, maximised too. Resting
    // there brings the button's tip; the pointer leaving takes it down.
    Click(1137, 112 + 32);
    ASSERT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) == 2; })) << "the switch button's tip";
    Screenshot("maximised-metronome");
    Xdotool("mousemove --sync 300 130");
    // A tip that came or went between the two clicks would keep the program
    // busy past the double click's time, and they would read as two clicks.
    ASSERT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) == 1; })) << "the tip gone";
    Xdotool("click --repeat 2 --delay 80 1");
    ASSERT_TRUE(Eventually([&] { return SameRect(FindWindow("Pellora"), left, top, 880, 550); }));

    // Full screen through the window manager.
    Xdotool("key --clearmodifiers alt+F11");
    ASSERT_TRUE(Eventually([&] { return SameRect(FindWindow("Pellora"), 0, 0, 1280, 1024); }));
    // Until the frame of the new size is shown, the old one stands in the
    // corner, the panel's colour at the top too, and a look between the two
    // frames may catch neither: the bottom margin is drawn only at the new size.
    EXPECT_TRUE(Eventually([&] { return Pixel(640, 1000) == kPanel; }));
    EXPECT_EQ(kPanel, Pixel(640, 50));
    Screenshot("fullscreen-metronome");
    // Resting on the switch button brings its tip, which must leave the
    // keyboard to the window.
    Click(1137, 112 + 32);
    ASSERT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) == 2; })) << "the switch button's tip";
    Screenshot("fullscreen-tuner");
    Xdotool("key --clearmodifiers alt+F11");
    ASSERT_TRUE(Eventually([&] { return SameRect(FindWindow("Pellora"), left, top, 880, 550); }));

    Click(left + 880 * 771 / 800, top + 20 * 880 / 800);
    EXPECT_EQ(0, program.Status()) << program.Errors();
}

TEST(Desktop, TheMetronomesTitleButtonsShowTheAboutWindowAndMinimiseTheWindow)
{
    DesktopLock pointer("pointer");
    WindowManager manager(kOpenboxConfig);
    ASSERT_TRUE(manager.Running());
    // The metronome was shown last: the program starts on it.
    TempFolder settings;
    ASSERT_EQ(0, std::system(("mkdir -p " + settings.Path() + "/vintrel-pellora").c_str()));
    std::ofstream(settings.Path() + "/vintrel-pellora/settings.ini") << "[Pellora Settings]\nTunerVisible=0\n";
    Program program("", PELLORA_SOURCE_DIR, settings.Path());
    Shown window;
    ASSERT_TRUE(Eventually([&] { return (window = FindWindow("Pellora")).found; })) << program.Errors();
    ASSERT_TRUE(Eventually([&] { return Pixel(window.x + 100, window.y + 200) == kGlass; }));
    const std::string id = ProgramWindowId(program.Pid(), "Pellora");
    // Its help button opens the About window.
    Click(window.x + 681, window.y + 20);
    ASSERT_TRUE(Eventually([&] { return FindWindow("About Pellora").found; })) << "the About window";
    Xdotool("key Escape");
    ASSERT_TRUE(Eventually([&] { return !FindWindow("About Pellora").found; }));
    // Its minimise button hands the window to the window manager's minimised state.
    Click(window.x + 741, window.y + 20);
    EXPECT_TRUE(Eventually([&] { return !FindWindow("Pellora").found; })) << "minimised";
    EXPECT_NE(std::string::npos, Output("xprop -id " + id + " _NET_WM_STATE").find("_NET_WM_STATE_HIDDEN"));
    Xdotool("windowactivate --sync " + id);
    Shown back;
    ASSERT_TRUE(Eventually([&] { return (back = FindWindow("Pellora")).found; }));
    ASSERT_TRUE(Eventually([&] { return Pixel(back.x + 100, back.y + 200) == kGlass; })) << "drawn again";
    // A click on the close button this soon after the one on minimise, 30
    // pixels away, would be a double click: a click on the title comes between.
    Click(back.x + 60, back.y + 20);
    Click(back.x + 771, back.y + 20);
    EXPECT_EQ(0, program.Status()) << program.Errors();
    EXPECT_NE(std::string::npos, program.Settings().find("TunerVisible=0\n")) << "it was the metronome that closed";
}

TEST(Desktop, KeysPickFromAListCloseOrAnswerTheAboutWindowAndAMessageBoxAndTabThroughTheControls)
{
    DesktopLock pointer("pointer");
    WindowManager manager(kOpenboxConfig);
    ASSERT_TRUE(manager.Running());
    TempFolder settings;
    {
        Program program("", PELLORA_SOURCE_DIR, settings.Path());
        Shown window;
        ASSERT_TRUE(Eventually([&] { return (window = FindWindow("Pellora")).found; })) << program.Errors();
        ASSERT_TRUE(Eventually([&] { return Pixel(window.x + 100, window.y + 200) == kGlass; }));
        const int shown = ShownWindows(program.Pid());
        const auto opensAndCloses = [&](int x, int y, const std::string& keys) {
            Click(window.x + x, window.y + y);
            ASSERT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) == shown + 1; })) << keys;
            Xdotool("key --delay 150 " + keys);
            EXPECT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) == shown; })) << keys;
        };
        // The transposition list opens on the one in effect, its first entry:
        // two down is "In Eb".
        opensAndCloses(316, 69, "Down Down Return");
        opensAndCloses(316, 69, "Down Escape");
        // The About window, from the help button.
        opensAndCloses(681, 20, "Escape");
        // Opened again, it rings CLOSE, which Return presses; Tab moves the
        // ring round to GUIDE and Shift+Tab back.
        Click(window.x + 681, window.y + 20);
        Shown about;
        ASSERT_TRUE(Eventually([&] { return (about = FindWindow("About Pellora")).found; }));
        const auto aboutRinged = [&](int x) { return Pixel(about.x + x, about.y + 220) == "#38BDF8"; };
        EXPECT_TRUE(Eventually([&] { return aboutRinged(301) && !aboutRinged(41); })) << "CLOSE";
        Xdotool("key Tab");
        EXPECT_TRUE(Eventually([&] { return aboutRinged(41) && !aboutRinged(301); })) << "GUIDE";
        Xdotool("key shift+Tab");
        EXPECT_TRUE(Eventually([&] { return aboutRinged(301) && !aboutRinged(41); })) << "CLOSE again";
        Xdotool("key Return");
        EXPECT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) == shown; })) << "Return closes it";
        // From the title row, Tab rings the four title buttons, then the
        // first choice button, then the second; Shift+Tab goes back, and
        // Return opens the ringed one's list.
        const auto ringed = [&](int x) { return Pixel(window.x + x, window.y + 70) == "#38BDF8"; };
        Xdotool("mousemove --sync " + std::to_string(window.x + 400) + " " + std::to_string(window.y + 28)
                + " key --delay 150 Tab Tab Tab Tab Tab Tab");
        EXPECT_TRUE(Eventually([&] { return ringed(143); }));
        EXPECT_FALSE(ringed(25));
        Xdotool("key shift+Tab");
        EXPECT_TRUE(Eventually([&] { return ringed(25) && !ringed(143); }));
        Xdotool("key Return");
        EXPECT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) == shown + 1; })) << "the list opens";
        Xdotool("key Escape");
        EXPECT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) == shown; }));
        // The keyboard carries on from the button that opened the list.
        Xdotool("key Tab");
        EXPECT_TRUE(Eventually([&] { return ringed(143) && !ringed(25); })) << "Tab after the list closed";
        Click(window.x + 771, window.y + 20);
        EXPECT_EQ(0, program.Status()) << program.Errors();
        EXPECT_NE(std::string::npos, program.Settings().find("Transpose=IN E♭\n")) << program.Settings();
    }

    // Without a sound card the box asks "RETRY, CANCEL" with RETRY ringed:
    // Return answers it and the box comes again; Tab rings CANCEL; Escape
    // answers CANCEL.
    TempFolder alsa;
    const std::string config = alsa.Path() + "/asound.conf";
    std::ofstream(config) << "# nothing\n";
    Program noCard(config);
    Shown box;
    ASSERT_TRUE(Eventually([&] { return (box = FindWindow("Pellora")).found; })) << noCard.Errors();
    const auto boxRinged = [&](int x) { return Pixel(box.x + x, box.y + 146) == "#38BDF8"; };
    EXPECT_TRUE(Eventually([&] { return boxRinged(104) && !boxRinged(238); })) << "RETRY";
    Xdotool("key Return");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ASSERT_TRUE(Eventually([&] { return (box = FindWindow("Pellora")).found; })) << noCard.Errors();
    EXPECT_EQ(0, waitpid(noCard.Pid(), nullptr, WNOHANG)) << "still asking";
    Xdotool("key Tab");
    EXPECT_TRUE(Eventually([&] { return boxRinged(238) && !boxRinged(104); })) << "CANCEL";
    Xdotool("key Escape");
    EXPECT_EQ(1, noCard.Status()) << noCard.Errors();
}
