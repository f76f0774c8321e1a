// Tool tips of the program on a desktop with a window manager (openbox): a tip
// shown when the window is minimised does not come back with it, and the
// input level meter's tip leaves its caption and the volume sliders beside it
// uncovered.
#include "ProgramTestSupport.h"
#include "support/DesktopLock.h"
#include "support/WindowManager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

using namespace ProgramTest;

namespace {

const char* const kOpenboxConfig = PELLORA_TEST_DATA "/openbox/rc.xml";
// The tuner's displays, drawn.
const char* const kGlass = "#0C1116";

std::string At(int x, int y)
{
    return std::to_string(x) + " " + std::to_string(y);
}

// The pointer brought to rest on a point: a tip shows a second later.
void RestAt(int x, int y)
{
    ASSERT_EQ(0, std::system(("xdotool mousemove --sync " + At(x, y - 1) + " mousemove --sync " + At(x, y)).c_str()));
}

std::string Crop(const Shown& area)
{
    return " -crop " + std::to_string(area.width) + "x" + std::to_string(area.height) + "+" + std::to_string(area.x)
        + "+" + std::to_string(area.y) + " +repage ";
}

void Save(const Shown& area, const std::string& file)
{
    ASSERT_EQ(0, std::system(("import -window root" + Crop(area) + file).c_str()));
}

// How many pixels of a rectangle of the screen differ from those saved before.
int Changed(const Shown& area, const std::string& before)
{
    Save(area, before + ".now.png");
    return std::atoi(Output("compare -metric AE " + before + " " + before + ".now.png null: 2>&1").c_str());
}

int BlackPixels(const Shown& area)
{
    return std::atoi(Output("import -window root" + Crop(area) + "-depth 8 txt:- | grep -c '#000000'").c_str());
}

} // namespace

TEST(DesktopToolTip, ATipShownWhenTheWindowIsMinimisedDoesNotComeBackWithIt)
{
    DesktopLock pointer("pointer");
    WindowManager manager(kOpenboxConfig);
    ASSERT_TRUE(manager.Running());
    Program program;
    Shown window;
    ASSERT_TRUE(Eventually([&] { return (window = FindWindow("Pellora")).found; })) << program.Errors();
    const std::string id = ProgramWindowId(program.Pid(), "Pellora");
    // The metronome, the pointer resting on PLAY.
    Click(window.x + 711, window.y + 20);
    RestAt(window.x + 602, window.y + 440);
    ASSERT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) == 2; })) << "PLAY's tip";
    // Over PLAY and RECORD and the gap above them, where the tip stood.
    const Shown row{true, window.x + 552, window.y + 380, 224, 80};

    ASSERT_EQ(0, std::system(("xdotool windowminimize --sync " + id).c_str()));
    ASSERT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) == 0; }));
    ASSERT_EQ(0, std::system(("xdotool windowactivate --sync " + id).c_str()));
    ASSERT_TRUE(Eventually([&] { return FindWindow("Pellora").found; }));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_EQ(1, ShownWindows(program.Pid())) << "the tip stays down";
    EXPECT_LT(BlackPixels(row), 40) << "no undrawn strip";

    // Resting on RECORD brings its own tip, drawn.
    RestAt(window.x + 726, window.y + 440);
    EXPECT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) == 2; })) << "RECORD's tip";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LT(BlackPixels(row), 40) << "drawn";
}

TEST(DesktopToolTip, TheInputLevelTipLeavesItsCaptionAndTheVolumeSlidersUncovered)
{
    DesktopLock pointer("pointer");
    WindowManager manager(kOpenboxConfig);
    ASSERT_TRUE(manager.Running());
    Program program;
    Shown window;
    ASSERT_TRUE(Eventually([&] { return (window = FindWindow("Pellora")).found; })) << program.Errors();
    // What is compared with is the drawn window.
    ASSERT_TRUE(Eventually([&] { return Pixel(window.x + 100, window.y + 200) == kGlass; }));
    // The skin's boxes at the first size, 800 x 500: the meter's caption and
    // the IN and OUT sliders with their caps.
    const struct {
        const char* name;
        Shown box;
    } neighbours[] = {{"caption", {true, 332, 404, 160, 15}},
                      {"IN", {true, 526, 402, 16, 64}},
                      {"OUT", {true, 566, 402, 16, 64}}};
    const auto box = [&](const Shown& b) { return Shown{true, window.x + b.x, window.y + b.y, b.width, b.height}; };
    const auto before = [&](const char* name) { return program.Folder() + "/" + name + ".png"; };
    // Off the window, where no tip shows.
    const std::string away = "xdotool mousemove --sync " + At(window.x + 400, window.y + 530);
    ASSERT_EQ(0, std::system(away.c_str()));
    ASSERT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) == 1; }));
    for (const auto& n : neighbours)
        Save(box(n.box), before(n.name));
    // The pointer at the meter's left end, middle and right end.
    for (const int x : {335, 418, 500}) {
        RestAt(window.x + x, window.y + 430);
        ASSERT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) == 2; })) << "the meter's tip at " << x;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        for (const auto& n : neighbours)
            EXPECT_EQ(0, Changed(box(n.box), before(n.name))) << n.name << ", pointer at " << x;
        ASSERT_EQ(0, std::system(away.c_str()));
        ASSERT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) == 1; }));
    }
}
