// The real program and its settings file: with no regular file in its place
// it starts, runs and ends by itself, leaving what stands there as it was;
// ended by a second signal during its close, it leaves the file as it was or
// as the close writes it whole, never a mix of the two.
#include "ProgramTestSupport.h"
#include "support/Files.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <thread>

using namespace ProgramTest;
using TestSupport::Standing;

namespace {

// A program that read /dev/zero without end would take the machine's memory:
// a sanitized one is stopped at 2 GB.
class MemoryBound {
public:
    MemoryBound()
    {
        if (const char* options = std::getenv("ASAN_OPTIONS"))
            old_ = options;
        setenv("ASAN_OPTIONS", (old_ + (old_.empty() ? "" : ":") + "hard_rss_limit_mb=2048").c_str(), 1);
    }
    ~MemoryBound()
    {
        if (old_.empty())
            unsetenv("ASAN_OPTIONS");
        else
            setenv("ASAN_OPTIONS", old_.c_str(), 1);
    }
    MemoryBound(const MemoryBound&) = delete;
    MemoryBound& operator=(const MemoryBound&) = delete;

private:
    std::string old_;
};

// The settings as a run left them: the text forms are the close's own, so
// every line of it changes when the close writes.
const char kOld[] = "[Pellora Settings]\nFrequency=440.0\nInstrument=violin\nStyle=standard\nAutoSelect=+0\n"
                    "TunerVisible=+1\nBpm=096\n";

// Starts the program on the settings folder and sends SIGTERM once its window
// shows, and again `second` later when that is set; how it ended.
int EndedBySignals(const std::string& settings, std::chrono::milliseconds* second)
{
    Program program("", PELLORA_SOURCE_DIR, settings);
    if (!Eventually([&] { return ShownWindows(program.Pid()) > 0; })) {
        ADD_FAILURE() << "no window\n" << program.Errors();
        return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    kill(program.Pid(), SIGTERM);
    if (second) {
        std::this_thread::sleep_for(*second);
        kill(program.Pid(), SIGTERM);
    }
    return program.WaitStatus();
}

} // namespace

TEST(ProgramSettings, WhatIsNoFileInTheSettingsPlaceIsLeftAsItIsAndTheProgramRunsOnDefaults)
{
    const struct {
        const char* what;
        std::function<void(const std::string& path, const std::string& folder)> make;
    } places[] = {
        {"a FIFO", [](const std::string& path, const std::string&) { ASSERT_EQ(0, mkfifo(path.c_str(), 0600)); }},
        {"a link to /dev/zero",
         [](const std::string& path, const std::string& folder) {
             ASSERT_EQ(0, symlink(TestSupport::Device(folder, "zero", 5).c_str(), path.c_str()));
         }},
        {"a link to /dev/null",
         [](const std::string& path, const std::string& folder) {
             ASSERT_EQ(0, symlink(TestSupport::Device(folder, "null", 3).c_str(), path.c_str()));
         }},
    };
    const MemoryBound bound;
    for (const auto& place : places) {
        SCOPED_TRACE(place.what);
        TempFolder settings;
        const std::string path = settings.Path() + "/vintrel-pellora/settings.ini";
        ASSERT_EQ(0, mkdir((settings.Path() + "/vintrel-pellora").c_str(), 0700));
        place.make(path, settings.Path());
        const std::string before = Standing(path);
        Program program("", PELLORA_SOURCE_DIR, settings.Path());
        const auto start = std::chrono::steady_clock::now();
        const bool shown = Eventually([&] { return ShownWindows(program.Pid()) > 0; });
        std::printf("%s: window %s after %.2f s\n", place.what, shown ? "shown" : "not shown",
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        EXPECT_TRUE(shown) << program.Errors();
        kill(program.Pid(), SIGTERM);
        EXPECT_EQ(0, program.Status()) << program.Errors();
        EXPECT_EQ(before, Standing(path));
        EXPECT_EQ(1, settings.FilesIn("vintrel-pellora"));
    }
}

TEST(ProgramSettings, ASecondEndingSignalLeavesTheSettingsWhollyOldOrWhollyNew)
{
    // What the close writes when nothing stops it.
    TempFolder reference;
    ASSERT_EQ(0, mkdir((reference.Path() + "/vintrel-pellora").c_str(), 0700));
    TestSupport::WriteFile(reference.Path() + "/vintrel-pellora/settings.ini", kOld);
    ASSERT_EQ(0, EndedBySignals(reference.Path(), nullptr));
    const std::string written = TestSupport::ReadFile(reference.Path() + "/vintrel-pellora/settings.ini");
    for (const char* line :
         {"Frequency=440\n", "Instrument=VIOLIN\n", "TunerVisible=1\n", "Bpm=96\n", "MetronomeSampleVis="})
        ASSERT_NE(std::string::npos, written.find(line)) << line << " in\n" << written;

    for (const int delay : {0, 10, 20, 30, 40, 50}) {
        SCOPED_TRACE(std::to_string(delay) + " ms between the signals");
        TempFolder settings;
        ASSERT_EQ(0, mkdir((settings.Path() + "/vintrel-pellora").c_str(), 0700));
        const std::string path = settings.Path() + "/vintrel-pellora/settings.ini";
        TestSupport::WriteFile(path, kOld);
        std::chrono::milliseconds second(delay);
        const int status = EndedBySignals(settings.Path(), &second);
        const std::string text = TestSupport::ReadFile(path);
        std::printf("second SIGTERM after %d ms: %s, the settings %s\n", delay,
                    WIFSIGNALED(status)     ? "ended by the signal"
                        : WIFEXITED(status) ? "ended with its own status"
                                            : "not ended",
                    text == kOld          ? "as they were"
                        : text == written ? "as the close writes them"
                                          : "mixed");
        // The second signal ends it at once, unless the close had ended it.
        EXPECT_TRUE((WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) || (WIFEXITED(status) && !WEXITSTATUS(status)))
            << status;
        EXPECT_TRUE(text == kOld || text == written) << text;
    }
}
