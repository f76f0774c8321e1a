// What one skinned window costs: an 800 x 600 shaped application window with
// pictures and labels on the display (run it under Xvfb, as scripts/rig.sh
// starts it). Prints
//   - idle CPU (share of one core) and wake-ups per second while the window
//     is shown and nothing moves, over 20 s (PELLORA_IDLE_SECONDS to change);
//   - the time to compose and present one full frame;
//   - the time of each of 60 resize steps (the window grown and shrunk again)
//     and the memory before and after them.
// Targets: idle below 0.3 % of a core with at most 25 wake-ups a second, a
// full frame below 1 ms, a resize step below 10 ms, memory back within 10 MB
// of where it started.

#include "framework/core/DocMap.h"
#include "framework/core/VaboInit.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/host/AppWindow.h"
#include "framework/host/VaboWnd.h"
#include "platform/EventLoop.h"
#include "platform/Video.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

double CpuSeconds(const rusage& usage)
{
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// Resident memory in MB.
double ResidentMb()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (4096.0 / (1024.0 * 1024.0));
}

void Pump(int ms)
{
    Platform::EventLoop::Instance().RunFor(ms);
}

const char* Verdict(bool met)
{
    return met ? "met" : "NOT met";
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

} // namespace

int main()
{
    DllVaboInitInstance();
    if (!Platform::StartVideo()) {
        std::fprintf(stderr, "window_cost: no display: %s\n", Platform::VideoError().c_str());
        return 1;
    }
    DllDocMapInstance().SetAppFolder(PELLORA_SOURCE_DIR "/bench/skin");
    XMLLoadSave skin;
    TiXmlElement* element = skin.LoadXML("WindowCost.xml");
    if (!element) {
        std::fprintf(stderr, "window_cost: cannot read bench/skin/WindowCost.xml\n");
        return 1;
    }
    auto window = std::make_unique<Vabo::AppWindow>(element);
    Vabo::VaboWnd* host = window->GetHostWnd();
    if (!host) {
        std::fprintf(stderr, "window_cost: the window was not created\n");
        return 1;
    }
    window->SetVisible(true);
    Pump(1000);

    // Idle: the window shown, nothing moving.
    const char* idleText = std::getenv("PELLORA_IDLE_SECONDS");
    const int idleSeconds = idleText ? std::max(1, std::atoi(idleText)) : 20;
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const Clock::time_point idleStart = Clock::now();
    Pump(idleSeconds * 1000);
    const double idleWall = Seconds(Clock::now() - idleStart);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const double idleCpu = (CpuSeconds(after) - CpuSeconds(before)) / idleWall * 100.0;
    const double wakeups = ((after.ru_nvcsw - before.ru_nvcsw) + (after.ru_nivcsw - before.ru_nivcsw)) / idleWall;
    std::printf("idle: %.3f %% of a core (target below 0.3 %%: %s), %.1f wake-ups/s (target 25 or fewer: %s) over "
                "%.1f s\n",
                idleCpu, Verdict(idleCpu < 0.3), wakeups, Verdict(wakeups <= 25.0), idleWall);

    // One full frame: composed into the back buffer and presented.
    std::vector<double> frames;
    for (int i = 0; i < 100; ++i) {
        host->GetScreenManager().InvalidateAll();
        const Clock::time_point start = Clock::now();
        host->Redraw();
        frames.push_back(Seconds(Clock::now() - start) * 1000.0);
    }
    std::printf("full frame: median %.3f ms (target below 1 ms: %s), worst %.3f ms\n", Median(frames),
                Verdict(Median(frames) < 1.0), *std::max_element(frames.begin(), frames.end()));

    // Resizing: 30 steps out and 30 back, each as the user's drag does it
    // (new size, layout, frame), then the program settles.
    const double memoryBefore = ResidentMb();
    std::vector<double> steps;
    for (int i = 1; i <= 60; ++i) {
        const int grow = i <= 30 ? i : 60 - i;
        const Clock::time_point start = Clock::now();
        window->SetSize(800 + 10 * grow, 600 + 7 * grow);
        window->UpdateLayout();
        window->Invalidate();
        host->Redraw();
        steps.push_back(Seconds(Clock::now() - start) * 1000.0);
        Pump(10);
    }
    Pump(1500);
    const double memoryAfter = ResidentMb();
    const double worstStep = *std::max_element(steps.begin(), steps.end());
    std::printf("resize: median %.2f ms a step (target below 10 ms: %s), worst %.2f ms\n", Median(steps),
                Verdict(Median(steps) < 10.0), worstStep);
    std::printf("memory: %.1f MB before the 60 steps, %.1f MB after (%+.1f MB; target within 10 MB: %s)\n",
                memoryBefore, memoryAfter, memoryAfter - memoryBefore, Verdict(memoryAfter - memoryBefore < 10.0));
    window.reset();
    return 0;
}
