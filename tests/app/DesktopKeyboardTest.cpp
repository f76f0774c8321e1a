// The keyboard on a desktop with a window manager (openbox), with real key
// events to the installed program: Tab from the first control round to it
// again, and Shift+Tab back, ring every control of both screens in reading
// order, exactly one at a time; Up and Down walk every entry of every
// drop-down list, one entry marked at a time and every entry on the screen
// (a list that would run off its bottom is moved up), and Return picks the
// marked one.
#include "AppTestSupport.h"
#include "ProgramTestSupport.h"
#include "framework/widgets/AspectPreservingContainer.h"
#include "support/TempFolder.h"
#include "support/WindowManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace ProgramTest;

namespace {

const char* const kOpenboxConfig = PELLORA_TEST_DATA "/openbox/rc.xml";
const char* const kGlass = "#0C1116";
// The window at the skin's size, and the height of a list's entry in it.
const int kWidth = 800, kHeight = 500;
const int kEntryHeight = 28;
// Where the lists drop down in the skin: just below their buttons.
const float kListTop = 0.176f;

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect& other) const
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
    bool Overlaps(const Rect& other) const
    {
        return x < other.x + other.width && other.x < x + width && y < other.y + other.height && other.y < y + height;
    }
};

// A part of the screen as it is now, 8-bit RGB.
class Capture {
public:
    Capture(int x, int y, int width, int height)
        : width_(width)
        , height_(height)
        , rgb_(std::size_t(width) * std::size_t(height) * 3)
    {
        const std::string command = "import -window root -crop " + std::to_string(width) + "x" + std::to_string(height)
            + "+" + std::to_string(x) + "+" + std::to_string(y) + " -depth 8 rgb:- 2>/dev/null";
        if (FILE* pipe = popen(command.c_str(), "r")) {
            complete_ = std::fread(rgb_.data(), 1, rgb_.size(), pipe) == rgb_.size();
            pclose(pipe);
        }
    }

    // The skin's accent "#38BDF8" (the ring, a marked caption), give or take
    // the blending at a glyph's edge.
    bool Accent(int x, int y) const
    {
        if (!complete_ || x < 0 || y < 0 || x >= width_ || y >= height_)
            return false;
        const unsigned char* pixel = &rgb_[(std::size_t(y) * std::size_t(width_) + std::size_t(x)) * 3];
        const int accent[3] = {0x38, 0xBD, 0xF8};
        for (int i = 0; i < 3; ++i)
            if (std::abs(pixel[i] - accent[i]) > 12)
                return false;
        return true;
    }

    // The ring lies two pixels wide just inside the control: its corners and
    // the middles of its sides all show the accent.
    bool Ringed(const Rect& control) const
    {
        const int left = control.x + 1, right = control.x + control.width - 2;
        const int top = control.y + 1, bottom = control.y + control.height - 2;
        const int middleX = control.x + control.width / 2, middleY = control.y + control.height / 2;
        const std::pair<int, int> points[] = {{left, top},    {right, top},      {left, bottom},  {right, bottom},
                                              {middleX, top}, {middleX, bottom}, {left, middleY}, {right, middleY}};
        for (const auto& [x, y] : points)
            if (!Accent(x, y))
                return false;
        return true;
    }

    int AccentPixels(int x, int y, int width, int height) const
    {
        int count = 0;
        for (int row = y; row < y + height; ++row)
            for (int column = x; column < x + width; ++column)
                count += Accent(column, row);
        return count;
    }

private:
    int width_, height_;
    std::vector<unsigned char> rgb_;
    bool complete_ = false;
};

void Keys(const std::string& keys)
{
    ASSERT_EQ(0, std::system(("xdotool key --delay 60 " + keys).c_str())) << keys;
}

Shown Geometry(const std::string& id)
{
    Shown shown;
    std::istringstream lines(Output("xdotool getwindowgeometry --shell " + id));
    for (std::string line; std::getline(lines, line);) {
        const auto equals = line.find('=');
        const int value = equals == std::string::npos ? 0 : std::atoi(line.c_str() + equals + 1);
        if (line.rfind("X=", 0) == 0)
            shown.x = value;
        else if (line.rfind("Y=", 0) == 0)
            shown.y = value;
        else if (line.rfind("WIDTH=", 0) == 0)
            shown.width = value;
        else if (line.rfind("HEIGHT=", 0) == 0)
            shown.height = value;
    }
    shown.found = shown.width > 0;
    return shown;
}

// The program's shown window that is not the main one: an open list.
Shown OtherWindow(pid_t pid, const std::string& main)
{
    std::istringstream ids(Output("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null"));
    for (std::string id; ids >> id;)
        if (id != main)
            return Geometry(id);
    return {};
}

std::string Screenshot(const std::string& name)
{
    const std::string file = std::string(PELLORA_BINARY_DIR) + "/screenshots/" + name + ".png";
    std::system(("mkdir -p " PELLORA_BINARY_DIR "/screenshots && import -window root " + file).c_str());
    return file;
}

// The program installed into a prefix of its own, started from a folder
// with settings of its own, under the window manager; the pointer rests on
// the title row, where it selects nothing.
class Desktop {
public:
    Desktop()
    {
        const std::string install = "cmake --install " PELLORA_BINARY_DIR " --prefix " + prefix_.Path() + " >/dev/null";
        if (!manager_.Running() || std::system(install.c_str()) != 0)
            return;
        program_ =
            std::make_unique<Program>("", elsewhere_.Path(), settings_.Path(), prefix_.Path() + "/bin/pellora", "");
        if (!Eventually([&] { return (window_ = FindWindow("Pellora")).found; })
            || !Eventually([&] { return Pixel(window_.x + 100, window_.y + 200) == kGlass; }))
            return;
        id_ = ProgramWindowId(program_->Pid(), "Pellora");
        // The keys go where the keyboard is: the window manager hands it to
        // the new window after showing it, later on a busy machine.
        ready_ = Eventually([&] { return Output("xdotool getwindowfocus") == id_ + "\n"; }) && Rest();
    }

    // Moves the window (also partly off the screen) and the pointer's rest
    // with it. Before any key: the pointer leaving the window takes the
    // selection, and with it the ring, away.
    bool MoveTo(int x, int y)
    {
        const std::string to = std::to_string(x) + " " + std::to_string(y);
        return std::system(("xdotool windowmove --sync " + id_ + " " + to).c_str()) == 0
            && Eventually([&] { return (window_ = FindWindow("Pellora")).x == x && window_.y == y; }) && Rest();
    }

    // The window shows at the skin's size with the keyboard, the pointer at rest.
    bool Ready() const { return ready_ && window_.width == kWidth && window_.height == kHeight; }
    std::string Errors() const { return program_ ? program_->Errors() : "not started"; }

    Capture Grab() const { return Capture(window_.x, window_.y, window_.width, window_.height); }
    // Closes the program by its close button; true when it ended cleanly.
    bool Close()
    {
        Click(window_.x + 771, window_.y + 20);
        return program_->Status() == 0;
    }

    Program& App() { return *program_; }
    const Shown& Main() const { return window_; }
    const std::string& MainId() const { return id_; }

private:
    bool Rest() const
    {
        const std::string rest = std::to_string(window_.x + 400) + " " + std::to_string(window_.y + 28);
        return std::system(("xdotool mousemove --sync " + rest).c_str()) == 0;
    }

    WindowManager manager_{kOpenboxConfig};
    TempFolder prefix_, elsewhere_, settings_;
    std::unique_ptr<Program> program_;
    Shown window_;
    std::string id_;
    bool ready_ = false;
};

using Names = std::vector<std::string>;
// Every control of a screen in reading order.
const Names kTunerOrder = {"Help",
                           "Switch",
                           "Minimise",
                           "Close",
                           "INST",
                           "STYLE",
                           "TRANS",
                           "INPUT",
                           "DesiredFrequency",
                           "TuneVis",
                           "E",
                           "A",
                           "D",
                           "G",
                           "B",
                           "E",
                           "SampleVis",
                           "ThresholdSlider",
                           "VolumeInput",
                           "VolumeOutput",
                           "Standby",
                           "AutoSelect",
                           "Play"};
const Names kMetronomeOrder = {"Help",        "Switch",       "Minimise",     "Close",      "ACCENT",
                               "OUTPUT",      "DesiredBpm",   "MetronomeVis", "LARGO 50",   "ADAGIO 70",
                               "ANDANTE 90",  "MODERATO 114", "ALLEGRO 140",  "PRESTO 180", "MetronomeSampleVis",
                               "VolumeInput", "VolumeOutput", "Play",         "Record"};

// The order gone round from the stop named first (the first Tab may ring
// any control, the order is a ring).
Names From(const Names& order, const std::string& first)
{
    Names from = order;
    const auto at = std::find(from.begin(), from.end(), first);
    if (at != from.end())
        std::rotate(from.begin(), at, from.end());
    return from;
}

// A key and the control the ring is on after it (no name when none shows),
// with the screen it is on.
struct Step {
    std::string key;
    std::string name;
    Rect ring;
    int screen = 0;
};

class DesktopKeyboard : public AppTest::ScreenFixture {
protected:
    // The same skin built in this process, at the same size: the key pushed
    // to it, and where its ring is then.
    Step Press(const std::string& key, int screen)
    {
        const bool back = key == "shift+Tab";
        const SDL_Keycode code = key == "Return" ? SDLK_RETURN : SDLK_TAB;
        TestSupport::PushKey(window_->GetHostWnd()->GetNativeWindow()->Id(), code, back ? KMOD_LSHIFT : KMOD_NONE);
        // Until the loop has taken the key (a busy machine may hold it back
        // for any time).
        AppTest::PumpUntil([] { return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYUP) == 0; });
        Step step{key, "", {}, screen};
        Vabo::GuiObject* stop = window_->GetKeyboardStop();
        if (!stop || !stop->IsVisibleInTree() || !(stop->IsSelected() || stop->HasSelectedChild()))
            return step;
        // A strip grows the control it rings over a few frames: where it
        // comes to rest.
        const auto place = [&] {
            return Rect{stop->GetWindowX(), stop->GetWindowY(), stop->GetWidth(), stop->GetHeight()};
        };
        for (int still = 0, i = 0; still < 5 && i < 100; ++i) {
            step.ring = place();
            AppTest::Pump(20);
            still = place() == step.ring ? still + 1 : 0;
        }
        if (auto* strip = dynamic_cast<Vabo::AspectPreservingContainer*>(stop))
            stop = strip->GetObject();
        step.name = stop->GetName();
        return step;
    }

    // From the first stop Tab round to it again, then Shift+Tab round back;
    // the names met going forwards.
    Names Round(int screen)
    {
        steps_.push_back(Press("Tab", screen));
        const Step first = steps_.back();
        Names names{first.name};
        for (int i = 0; i < 60; ++i) {
            steps_.push_back(Press("Tab", screen));
            if (steps_.back().ring == first.ring)
                break;
            names.push_back(steps_.back().name);
        }
        for (std::size_t i = 0; i < names.size(); ++i)
            steps_.push_back(Press("shift+Tab", screen));
        return names;
    }

    // The keys to walk a screen (the metronome from the tuner's switch
    // button, reached by keys) and where the ring goes after each, as the
    // skin built here has it; then the same keys to the installed program
    // under openbox, which must ring the same control, and it alone.
    void Walk(int screen)
    {
        window_ = AppTest::OpenMainWindow(loader_);
        AppTest::Pump(100);
        steps_.push_back(Press("Tab", 0));
        if (screen == 1) {
            while (steps_.size() < 60 && steps_.back().name != "Switch")
                steps_.push_back(Press("shift+Tab", 0));
            steps_.push_back(Press("Return", 1));
        }
        const Names round = Round(screen);
        const Names& order = screen == 0 ? kTunerOrder : kMetronomeOrder;
        EXPECT_EQ(From(order, round.front()), round);
        window_.reset();
        AppTest::Pump(100);
        // Every place a screen rings a control, and its name: a strip widens
        // the control it rings, so one control may have several.
        std::vector<std::pair<Rect, std::string>> controls[2];
        for (const Step& step : steps_) {
            auto& known = controls[step.screen];
            if (!step.name.empty() && std::none_of(known.begin(), known.end(), [&](const auto& control) {
                    return control.first == step.ring;
                }))
                known.emplace_back(step.ring, step.name);
        }

        Desktop desktop;
        ASSERT_TRUE(desktop.Ready()) << desktop.Errors();
        const Capture before = desktop.Grab();
        for (const auto& [rect, name] : controls[0])
            EXPECT_FALSE(before.Ringed(rect)) << name << " looks ringed before any key";
        // The step's own control when it shows a ring, then the others that do.
        const auto ringed = [&](const Step& step) {
            const Capture now = desktop.Grab();
            Names names;
            if (!step.name.empty() && now.Ringed(step.ring))
                names.push_back(step.name);
            for (const auto& [rect, name] : controls[step.screen])
                if ((step.name.empty() || !rect.Overlaps(step.ring)) && now.Ringed(rect))
                    names.push_back(name);
            return names;
        };
        for (std::size_t i = 0; i < steps_.size(); ++i) {
            const Step& step = steps_[i];
            Keys(step.key);
            const Names expected = step.name.empty() ? Names{} : Names{step.name};
            Names shown;
            if (!Eventually([&] { return (shown = ringed(step)) == expected; })) {
                ADD_FAILURE() << "after key " << i << " (" << step.key << ") the ring should be on '" << step.name
                              << "' alone, it is on " << ::testing::PrintToString(shown) << "; see "
                              << Screenshot("desktop-keyboard-step-" + std::to_string(i));
                break;
            }
        }
        EXPECT_TRUE(desktop.Close()) << desktop.Errors();
        settings_ = desktop.App().Settings();
    }

    std::vector<Step> steps_;
    // What the program stored when it closed.
    std::string settings_;
};

// A drop-down list: the button that opens it (its left edge in the skin), how
// many entries it has (0: as many as the sound system offers), the entry in
// effect, which the list marks as it opens, and the entry picked with Return
// (-1: none, the list closed with Escape) with the setting it leaves.
struct List {
    const char* button;
    float left;
    int entries;
    int current;
    int pick;
    const char* setting;
};

const List kTunerLists[] = {
    {"INST", 0.03f, 8, 0, -1, ""},
    {"STYLE", 0.1775f, 6, 0, 1, "Style=DROP D\n"},
    {"TRANS", 0.325f, 9, 0, 2, "Transpose=IN E♭\n"},
    {"INPUT", 0.4725f, 0, 0, -1, ""},
};
const List kMetronomeLists[] = {
    {"ACCENT", 0.03f, 8, 3, 5, "Accent=ACCENT: 6\n"},
    {"OUTPUT", 0.1775f, 5, 0, 2, "Output=WOOD\n"},
};

} // namespace

TEST_F(DesktopKeyboard, TabAndShiftTabRingEveryControlOfTheTunerOneAtATime)
{
    Walk(0);
}

TEST_F(DesktopKeyboard, ReturnOnTheSwitchButtonShowsTheMetronomeWhereTabAndShiftTabRingEveryControl)
{
    Walk(1);
    EXPECT_NE(std::string::npos, settings_.find("TunerVisible=0\n")) << settings_;
}

TEST(DesktopKeyboardLists, UpAndDownWalkEveryEntryOfEveryListAndReturnPicksOne)
{
    DesktopLock pointer("pointer");
    Desktop desktop;
    ASSERT_TRUE(desktop.Ready()) << desktop.Errors();
    const pid_t pid = desktop.App().Pid();
    const int shown = ShownWindows(pid);
    const Shown& window = desktop.Main();
    const int screenHeight = [] {
        int width = 0, height = 0;
        std::istringstream(Output("xdotool getdisplaygeometry")) >> width >> height;
        return height;
    }();

    // The entries whose caption shows the accent, top to bottom.
    const auto marked = [&](const Shown& list, int entries) {
        const Capture now(list.x, list.y, list.width, list.height);
        std::vector<int> found;
        for (int i = 0; i < entries; ++i) {
            const int top = list.height * i / entries, bottom = list.height * (i + 1) / entries;
            if (now.AccentPixels(4, top + 3, list.width - 8, bottom - top - 6) >= 8)
                found.push_back(i);
        }
        return found;
    };
    int movedUp = 0;
    const auto walk = [&](const List& list, const std::string& opening) {
        SCOPED_TRACE(list.button);
        Keys(opening + " Return");
        ASSERT_TRUE(Eventually([&] { return ShownWindows(pid) == shown + 1; })) << "the list opens";
        Shown open;
        ASSERT_TRUE(Eventually([&] { return (open = OtherWindow(pid, desktop.MainId())).found; }));
        EXPECT_EQ(int(list.left * kWidth), open.x - window.x) << "the list under its button";
        if (window.y + int(kListTop * kHeight) + open.height <= screenHeight) {
            EXPECT_EQ(window.y + int(kListTop * kHeight), open.y) << "just below it";
        } else {
            ++movedUp;
        }
        EXPECT_GE(open.y, 0);
        EXPECT_LE(open.y + open.height, screenHeight) << "else moved up until every entry is on the screen";
        // Each entry as high as the background, which makes one more band.
        const int entries = (open.height + kEntryHeight / 2) / kEntryHeight - 1;
        if (list.entries > 0) {
            ASSERT_EQ(list.entries, entries);
        }
        ASSERT_GE(entries, 1);
        std::vector<int> now;
        const auto expect = [&](int entry, const std::string& after) {
            const std::vector<int> wanted{entry};
            if (Eventually([&] { return (now = marked(open, entries)) == wanted; }))
                return ::testing::AssertionSuccess();
            return ::testing::AssertionFailure()
                << "after " << after << " entry " << entry << " of " << entries
                << " should be marked alone, marked: " << ::testing::PrintToString(now) << "; see "
                << Screenshot(std::string("desktop-keyboard-") + list.button);
        };
        // The keys start from the entry in effect.
        ASSERT_TRUE(expect(list.current, "opening"));
        // Down to the last entry and once more, Up to the first and once more.
        for (int at = list.current; at < entries; ++at) {
            Keys("Down");
            ASSERT_TRUE(expect(std::min(at + 1, entries - 1), "Down"));
        }
        for (int at = entries - 1; at >= 0; --at) {
            Keys("Up");
            ASSERT_TRUE(expect(std::max(at - 1, 0), "Up"));
        }
        if (list.pick < 0) {
            Keys("Escape");
        } else {
            for (int i = 0; i < list.pick; ++i)
                Keys("Down");
            ASSERT_TRUE(expect(list.pick, "the Downs to the pick"));
            Keys("Return");
        }
        EXPECT_TRUE(Eventually([&] { return ShownWindows(pid) == shown; })) << "the list closes";
    };

    // The window low on the screen, partly below its edge: the shorter
    // lists fit below their buttons, the longer ones would run off the screen.
    ASSERT_TRUE(desktop.MoveTo(window.x, screenHeight - 300));
    // Past the four title buttons Tab rings the first list's button; after a
    // list closes Tab goes on from its button to the next.
    Keys("Tab Tab Tab Tab");
    for (const List& list : kTunerLists)
        ASSERT_NO_FATAL_FAILURE(walk(list, "Tab"));
    // From INPUT back past the other three and the close and minimise buttons
    // to the switch button.
    Keys("shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab Return");
    // The metronome's first Tab rings its help button, four more its first list's.
    ASSERT_NO_FATAL_FAILURE(walk(kMetronomeLists[0], "Tab Tab Tab Tab Tab"));
    ASSERT_NO_FATAL_FAILURE(walk(kMetronomeLists[1], "Tab"));

    EXPECT_EQ(3, movedUp) << "INST, TRANS and ACCENT were moved up";
    ASSERT_TRUE(desktop.Close()) << desktop.Errors();
    const std::string settings = desktop.App().Settings();
    for (const List& list : kTunerLists)
        EXPECT_NE(std::string::npos, settings.find(list.setting)) << list.button << "\n" << settings;
    for (const List& list : kMetronomeLists)
        EXPECT_NE(std::string::npos, settings.find(list.setting)) << list.button << "\n" << settings;
}
