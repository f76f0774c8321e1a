// The program shows its windows whatever the window manager does: none at
// all, one running, stopped, killed or replaced while a map is asked of it, one
// that starts every window minimised or on another desktop; and another
// client may destroy the window being shown when it is created, when it is
// mapped or when its first frame is drawn. The main window, the About window,
// a drop-down list and a message box are each shown so. Throughout, every
// window of the program answers the pings a window manager sends within half
// a second, and an ending signal ends the program with its settings written.
#include "app/ProgramTestSupport.h"
#include "support/DesktopLock.h"
#include "support/SanitizerStretch.h"
#include "support/WindowManager.h"
#include "support/WindowProbe.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace ProgramTest;
using Moment = WindowProbe::Moment;

enum class Manager { None, Running, Stopped, Killed, Replaced, Iconic, Elsewhere };
enum class Shows { Main, About, List, Box };

struct Row {
    const char* name;
    Manager manager;
    Shows shows;
    Moment destroyed;
};

const char* const kGlass = "#0C1116";

std::string ConfigOf(Manager manager)
{
    if (manager == Manager::Iconic)
        return PELLORA_TEST_DATA "/openbox/iconic.xml";
    if (manager == Manager::Elsewhere)
        return PELLORA_TEST_DATA "/openbox/elsewhere.xml";
    return PELLORA_TEST_DATA "/openbox/rc.xml";
}

const char* TitleOf(Shows shows)
{
    switch (shows) {
    case Shows::About:
        return "About Pellora";
    case Shows::List:
        return "";
    default:
        // Without a sound card the box is the first window named so.
        return "Pellora";
    }
}

// Left for Status to collect.
bool Ended(const Program& program)
{
    siginfo_t info{};
    return waitid(P_PID, id_t(program.Pid()), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
}

} // namespace

TEST(WindowShowing, NoWindowManagerStateNorADestroyedWindowHoldsTheProgram)
{
    const Row rows[] = {
        {"no manager, main window", Manager::None, Shows::Main, Moment::Never},
        {"no manager, main window destroyed at its creation", Manager::None, Shows::Main, Moment::Creation},
        {"no manager, main window destroyed at its first frame", Manager::None, Shows::Main, Moment::FirstFrame},
        {"manager running, main window destroyed at its map", Manager::Running, Shows::Main, Moment::Map},
        {"manager stopped before the start", Manager::Stopped, Shows::Main, Moment::Never},
        {"manager stopped, main window destroyed at its creation", Manager::Stopped, Shows::Main, Moment::Creation},
        {"manager killed while the main window's map is asked", Manager::Killed, Shows::Main, Moment::Never},
        {"manager replaced while the main window's map is asked", Manager::Replaced, Shows::Main, Moment::Never},
        {"windows start minimised", Manager::Iconic, Shows::Main, Moment::Never},
        {"windows start minimised, main window destroyed at its creation", Manager::Iconic, Shows::Main,
         Moment::Creation},
        {"windows start on another desktop, main window destroyed at its map", Manager::Elsewhere, Shows::Main,
         Moment::Map},
        {"manager stopped while About is pressed", Manager::Stopped, Shows::About, Moment::Never},
        {"manager killed while the About window's map is asked", Manager::Killed, Shows::About, Moment::Never},
        {"manager running, About window destroyed at its map", Manager::Running, Shows::About, Moment::Map},
        {"no manager, About window destroyed at its first frame", Manager::None, Shows::About, Moment::FirstFrame},
        {"manager replaced while a list's map is asked", Manager::Replaced, Shows::List, Moment::Never},
        {"manager running, list destroyed at its map", Manager::Running, Shows::List, Moment::Map},
        {"no manager, list destroyed at its first frame", Manager::None, Shows::List, Moment::FirstFrame},
        {"manager stopped, box", Manager::Stopped, Shows::Box, Moment::Never},
        {"no manager, box destroyed at its creation", Manager::None, Shows::Box, Moment::Creation},
        {"manager running, box destroyed at its map", Manager::Running, Shows::Box, Moment::Map},
        {"windows start minimised, box destroyed at its first frame", Manager::Iconic, Shows::Box,
         Moment::FirstFrame},
    };
    DesktopLock pointer("pointer");
    TempFolder alsa;
    const std::string noCard = alsa.Path() + "/asound.conf";
    std::ofstream(noCard) << "# nothing\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // Not resting where a button will be: its tooltip would come first.
        ASSERT_EQ(0, std::system("xdotool mousemove 2 2"));
        std::unique_ptr<WindowManager> manager;
        if (row.manager != Manager::None) {
            manager = std::make_unique<WindowManager>(ConfigOf(row.manager));
            ASSERT_TRUE(manager->Running());
        }
        const bool atStart = row.shows == Shows::Main || row.shows == Shows::Box;
        const bool held = row.manager == Manager::Stopped || row.manager == Manager::Killed
            || row.manager == Manager::Replaced;
        if (atStart && held)
            manager->Stop();
        WindowProbe probe(TitleOf(row.shows), row.destroyed);
        ASSERT_TRUE(probe.Connected());
        Program program(row.shows == Shows::Box ? noCard : "");
        probe.Follow(program.Pid());
        if (!atStart) {
            Shown window;
            // Drawn where it stands, read twice alike.
            ASSERT_TRUE(Eventually([&] {
                window = FindWindow("Pellora");
                const Shown again = FindWindow("Pellora");
                return window.found && again.x == window.x && again.y == window.y
                    && Pixel(window.x + 100, window.y + 200) == kGlass;
            })) << program.Errors();
            // Clicked while the manager runs (it takes the press first, to
            // focus the window, and hands it on), and held at once: the map
            // that follows waits in its connection.
            const bool about = row.shows == Shows::About;
            probe.Arm();
            Click(window.x + (about ? 681 : 316), window.y + (about ? 20 : 69));
            if (held)
                manager->Stop();
        }
        EXPECT_TRUE(Eventually([&] { return probe.TargetSeen(); })) << program.Errors();
        // The map asked for waits in the stopped manager's connection; the
        // main window's comes once the program has made its other windows.
        const bool leaves = row.manager == Manager::Killed || row.manager == Manager::Replaced;
        std::this_thread::sleep_for(std::chrono::milliseconds(atStart && leaves ? 3000 : 500));
        if (row.manager == Manager::Killed)
            manager->Kill();
        else if (row.manager == Manager::Replaced)
            manager->Replace();
        // What the program does meanwhile is watched for a second.
        std::this_thread::sleep_for(std::chrono::milliseconds(int(1000 * TestSupport::SanitizerStretch)));
        EXPECT_LT(probe.LongestWait(), 0.5 * TestSupport::SanitizerStretch) << program.Errors();
        // The main window gone, the program ends by itself, as on its close
        // button; the box gone, as when it is closed (no sound card, 1).
        const bool box = row.shows == Shows::Box;
        const bool closed = row.destroyed != Moment::Never && (box || row.shows == Shows::Main);
        if (!Ended(program)) {
            EXPECT_GT(probe.Answers(), 0) << program.Errors();
            kill(program.Pid(), SIGTERM);
        } else {
            EXPECT_TRUE(closed) << program.Errors();
        }
        const int status = program.Status();
        // The ending signal ends the box's question as nothing failed.
        EXPECT_TRUE(status == 0 || (status == 1 && box && closed && probe.TargetDestroyed())) << program.Errors();
        // Until the box is answered, nothing is loaded and so nothing written.
        if (!box) {
            EXPECT_NE(std::string::npos, program.Settings().find("[Pellora Settings]")) << program.Errors();
        }
    }
}
