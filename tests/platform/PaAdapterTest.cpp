#include "platform/PaAdapter.h"

#include "audio/SoundRig.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fstream>
#include <set>
#include <sys/types.h>

namespace Pa = Platform::Pa;

TEST(PaAdapter, EveryLibraryResultBecomesOneOfOurCodesWithItsOwnText)
{
    EXPECT_EQ(Pa::NoError, Pa::FromLibrary(0));
    EXPECT_EQ(Pa::NoError, Pa::FromLibrary(1));
    // PortAudio v19 numbers its errors from -10000 up; ours are the older
    // numbering, which is shifted by one for most of them.
    EXPECT_EQ(Pa::BufferTooSmall, Pa::FromLibrary(-9990));
    EXPECT_EQ(Pa::BadStreamPointer, Pa::FromLibrary(-9988));
    EXPECT_EQ(Pa::DeviceUnavailable, Pa::FromLibrary(-9985));
    std::set<std::string> texts;
    for (int code = -10000; code <= -9972; ++code) {
        const int ours = Pa::FromLibrary(code);
        EXPECT_GE(ours, Pa::HostError) << code;
        EXPECT_LE(ours, Pa::DeviceUnavailable) << code;
    }
    for (int code = Pa::HostError; code <= Pa::DeviceUnavailable; ++code) {
        const std::string text = Pa::ErrorText(code);
        EXPECT_EQ(std::string::npos, text.find("unknown")) << code;
        texts.insert(text);
    }
    EXPECT_EQ(15u, texts.size()) << "no two codes share a text";
}

// A capture stream whose sound server stops answering stalls; stopping it
// leaves it to the library. When the server answers again the library may
// call that stream once more: it must never reach its callback, which by then
// a newer stream feeds.
TEST(PaAdapter, AStreamLeftBehindAsStalledNeverCallsItsCallbackAgain)
{
    const std::string rig = SoundRig::RigFolder();
    ASSERT_FALSE(rig.empty()) << "needs the test rig's own sound server";
    std::ifstream pidFile(rig + "/pulse.pid");
    pid_t server = 0;
    ASSERT_TRUE(pidFile >> server);

    ASSERT_EQ(Pa::NoError, Pa::Initialize());
    static std::atomic<int> calls{0};
    const Pa::Callback count = [](void*, void*, unsigned long, double, void*) {
        calls.fetch_add(1);
        return 0;
    };
    Pa::Stream* stream = nullptr;
    ASSERT_EQ(Pa::NoError, Pa::OpenDefaultStream(&stream, 1, 0, Pa::Float32, 44100.0, 512, 0, count, nullptr));
    ASSERT_EQ(Pa::NoError, Pa::StartStream(stream, false));
    ASSERT_TRUE(SoundRig::WaitFor([] { return calls.load() > 3; }, SoundRig::CaptureStartMs));

    Platform::ManualClock clock(0);
    ASSERT_EQ(0, ::kill(server, SIGSTOP));
    // Stalled: the frames stop moving while the clock runs on.
    int seen = -1;
    ASSERT_TRUE(SoundRig::WaitFor(
        [&] {
            const int now = calls.load();
            const bool still = now == seen;
            seen = now;
            return still;
        },
        5000));
    EXPECT_FALSE(Pa::StreamDied(stream));
    clock.Advance(6000);
    EXPECT_TRUE(Pa::StreamDied(stream));
    EXPECT_EQ(Pa::NoError, Pa::StopStream(stream)) << "left to the library";
    const int before = calls.load();

    ASSERT_EQ(0, ::kill(server, SIGCONT));
    // Once called again, the stream ends itself.
    EXPECT_TRUE(SoundRig::WaitFor([&] { return Pa::StreamActive(stream) == 0; }, 10000));
    EXPECT_EQ(before, calls.load()) << "the stream left behind called back";
}
