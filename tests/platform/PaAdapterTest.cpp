#include "platform/PaAdapter.h"

#include "audio/SoundRig.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/SoundServerCalls.h"
#include "support/FakeSoundServer.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <ctime>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>
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

    ASSERT_EQ(0, ::kill(server, SIGSTOP));
    // Stalled: the frames stop moving, and after five seconds of that the
    // stream is dead.
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
    EXPECT_TRUE(SoundRig::WaitFor([&] { return Pa::StreamDied(stream); }, 20000));
    EXPECT_EQ(Pa::NoError, Pa::StopStream(stream)) << "left to the library";
    const int before = calls.load();

    ASSERT_EQ(0, ::kill(server, SIGCONT));
    // Once called again, the stream ends itself.
    EXPECT_TRUE(SoundRig::WaitFor([&] { return Pa::StreamActive(stream) == 0; }, 10000));
    EXPECT_EQ(before, calls.load()) << "the stream left behind called back";
}

// Tests replace the program's clock to drive animations and timers while real
// streams run. A jump of that clock, either way, is no stall: the stream is
// stopped and closed as usual, and the next one opens.
TEST(PaAdapter, ARunningStreamIsNotTakenForStalledWhenTheProgramsClockJumps)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    ASSERT_EQ(Pa::NoError, Pa::Initialize());
    static std::atomic<int> calls{0};
    const Pa::Callback count = [](void*, void*, unsigned long, double, void*) {
        calls.fetch_add(1);
        return 0;
    };
    Pa::Stream* stream = nullptr;
    ASSERT_EQ(Pa::NoError, Pa::OpenDefaultStream(&stream, 1, 0, Pa::Float32, 44100.0, 512, 0, count, nullptr));
    ASSERT_EQ(Pa::NoError, Pa::StartStream(stream, false));
    const auto delivered = [] {
        const int before = calls.load();
        return SoundRig::WaitFor([&] { return calls.load() > before + 1; }, SoundRig::CaptureStartMs);
    };
    for (int round = 0; round < 5; ++round) {
        {
            Platform::ManualClock clock(0);
            ASSERT_TRUE(delivered());
            EXPECT_FALSE(Pa::StreamDied(stream)) << round;
            clock.Advance(60000);
            EXPECT_FALSE(Pa::StreamDied(stream)) << round << ": forwards";
        }
        ASSERT_TRUE(delivered());
        EXPECT_FALSE(Pa::StreamDied(stream)) << round;
        {
            Platform::ManualClock clock(0);
            EXPECT_FALSE(Pa::StreamDied(stream)) << round << ": backwards";
        }
        EXPECT_FALSE(Pa::StreamDied(stream)) << round << ": forwards again";
    }
    EXPECT_EQ(Pa::NoError, Pa::StopStream(stream));
    EXPECT_EQ(Pa::NoError, Pa::CloseStream(stream));
    ASSERT_EQ(Pa::NoError, Pa::OpenDefaultStream(&stream, 1, 0, Pa::Float32, 44100.0, 512, 0, count, nullptr))
        << "no stream left behind holds the server";
    EXPECT_EQ(Pa::NoError, Pa::CloseStream(stream));
}

namespace {

// CPU time the whole process used, in milliseconds.
double ProcessCpuMs()
{
    timespec used{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return double(used.tv_sec) * 1000.0 + double(used.tv_nsec) / 1e6;
}

double MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

// A sound server that goes away under a capture stream, also while the
// stream starts, ends the stream: the loss is seen at once, not after five
// seconds of stall, the stream stops and closes as usual, and no thread is
// left spinning on the lost server. (A server lost before the first frames
// arrived left the library's thread looping on a failed check of its own, a
// whole core for as long as the program ran.)
TEST(PaAdapter, ASoundServerLostUnderACaptureEndsTheStreamAndLeavesNoThreadSpinning)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    ASSERT_EQ(Pa::NoError, Pa::Initialize());
    static std::atomic<int> calls{0};
    const Pa::Callback count = [](void*, void*, unsigned long, double, void*) {
        calls.fetch_add(1);
        return 0;
    };
    // When the server goes: so long after the start (the first frames take
    // up to two seconds), or once frames flow.
    const struct {
        int afterMs;
        bool delivering;
    } losses[] = {{0, false}, {300, false}, {900, false}, {0, true}};
    for (const auto& loss : losses) {
        const std::string when =
            loss.delivering ? "while delivering" : std::to_string(loss.afterMs) + " ms after the start";
        if (!SoundRig::ServerAnswers()) {
            ASSERT_TRUE(SoundRig::StartServer()) << when;
        }
        Pa::Stream* stream = nullptr;
        ASSERT_EQ(Pa::NoError, Pa::OpenDefaultStream(&stream, 1, 0, Pa::Float32, 44100.0, 512, 0, count, nullptr))
            << when;
        ASSERT_EQ(Pa::NoError, Pa::StartStream(stream, false)) << when;
        if (loss.delivering) {
            const int before = calls.load();
            ASSERT_TRUE(SoundRig::WaitFor([&] { return calls.load() > before + 2; }, SoundRig::CaptureStartMs));
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(loss.afterMs));
        }
        ASSERT_TRUE(SoundRig::StopServer()) << when;
        const auto gone = std::chrono::steady_clock::now();
        EXPECT_TRUE(SoundRig::WaitFor([&] { return Pa::StreamDied(stream); }, 20000)) << when;
        EXPECT_LT(MsSince(gone), 4000.0) << when << ": taken for stalled, not lost";

        const double cpuBefore = ProcessCpuMs();
        const auto from = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const double share = (ProcessCpuMs() - cpuBefore) / MsSince(from);
        EXPECT_LT(share, 0.25) << when << ": a thread keeps using the processor";
        EXPECT_EQ(Pa::NoError, Pa::StopStream(stream)) << when;
        EXPECT_EQ(Pa::NoError, Pa::CloseStream(stream)) << when;
    }
    ASSERT_TRUE(SoundRig::StartServer());
    Pa::Stream* stream = nullptr;
    EXPECT_EQ(Pa::NoError, Pa::OpenDefaultStream(&stream, 1, 0, Pa::Float32, 44100.0, 512, 0, count, nullptr))
        << "no stream left behind holds the server";
    EXPECT_EQ(Pa::NoError, Pa::CloseStream(stream));
}

// The time played moves on with the clock between the host buffers given,
// and never back, short buffers or long, and however many of them the sound
// server asks for at once: what is timed by it (the beat displays) moves
// smoothly, not a burst of buffers at a time.
TEST(PaAdapter, ThePlayedTimeMovesOnBetweenTheHostBuffersGivenAndNeverBack)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    ASSERT_EQ(Pa::NoError, Pa::Initialize());
    const Pa::Callback silence = [](void*, void*, unsigned long, double, void*) { return 0; };
    for (const unsigned long host : {512ul, 2048ul}) {
        Pa::Stream* stream = nullptr;
        ASSERT_EQ(Pa::NoError, Pa::OpenDefaultStream(&stream, 0, 1, Pa::Float32, 44100.0, 512, 18, silence, nullptr));
        ASSERT_EQ(Pa::NoError, Pa::SetHostFrames(stream, host));
        ASSERT_EQ(Pa::NoError, Pa::StartStream(stream, false));
        // Read until enough readings fall after the sink's start: on a busy
        // machine a reading may come long after the one before it.
        std::vector<double> readings;
        int playing = 0;
        EXPECT_TRUE(SoundRig::WaitFor(
            [&] {
                readings.push_back(Pa::StreamTime(stream));
                playing += readings.back() >= 8.0 * 2048;
                return readings.back() >= 16.0 * 2048 && playing > 24;
            },
            4 * SoundRig::CaptureStartMs));
        EXPECT_EQ(Pa::NoError, Pa::StopStream(stream));
        EXPECT_EQ(Pa::NoError, Pa::CloseStream(stream));

        // Read every 10 ms: a time that moved only when buffers were given
        // (the server asks for about 46 ms at a time) would stand still
        // between most readings. The first second or so, while the rig's
        // sink starts, nothing plays at all.
        for (std::size_t i = 1; i < readings.size(); ++i)
            EXPECT_GE(readings[i], readings[i - 1]) << host << ": reading " << i;
        const auto first = std::find_if(readings.begin(), readings.end(), [](double r) { return r >= 8.0 * 2048; });
        ASSERT_NE(readings.end(), first) << host;
        int stood = 0;
        int pairs = 0;
        for (auto it = first + 1; it < readings.end(); ++it, ++pairs)
            stood += *it == *(it - 1);
        ASSERT_GT(pairs, 8) << host;
        EXPECT_LT(stood, pairs / 4) << host << ": " << stood << " of " << pairs << " readings did not move";
    }
}

// Long host buffers wake the process less often: the callback still gets its
// own 512 frames, but a host buffer's worth at a time, and the frames counted
// move by whole host buffers. Back to 0, the short buffers return.
TEST(PaAdapter, TheHostBuffersAskedForGiveTheCallbackItsOwnFramesAHostBufferAtATime)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    ASSERT_EQ(Pa::NoError, Pa::Initialize());
    static std::atomic<int> calls{0};
    static std::atomic<int> otherSizes{0};
    const Pa::Callback count = [](void*, void*, unsigned long frames, double, void*) {
        if (frames != 512)
            otherSizes.fetch_add(1);
        calls.fetch_add(1);
        return 0;
    };
    Pa::Stream* stream = nullptr;
    ASSERT_EQ(Pa::NoError, Pa::OpenDefaultStream(&stream, 1, 0, Pa::Float32, 44100.0, 512, 0, count, nullptr));
    const struct {
        unsigned long asked;
        unsigned long step;
    } cases[] = {{4096, 4096}, {0, 512}, {2048, 2048}};
    for (const auto& c : cases) {
        ASSERT_EQ(Pa::NoError, Pa::SetHostFrames(stream, c.asked));
        ASSERT_EQ(Pa::NoError, Pa::StartStream(stream, false)) << c.asked;
        // Every count seen is a whole number of host buffers, and counts
        // between two of the longest buffers show that short ones came.
        std::set<unsigned long> seen;
        EXPECT_TRUE(SoundRig::WaitFor(
            [&] {
                const auto frames = static_cast<unsigned long>(Pa::StreamTime(stream));
                seen.insert(frames);
                return frames >= 8 * 4096;
            },
            SoundRig::CaptureStartMs))
            << c.asked;
        ASSERT_EQ(Pa::NoError, Pa::StopStream(stream));
        for (unsigned long frames : seen)
            EXPECT_EQ(0u, frames % c.step) << c.asked << ": " << frames << " frames";
        if (c.step < 4096) {
            EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](unsigned long f) { return f % 4096 != 0; }))
                << c.asked;
        }
    }
    EXPECT_GT(calls.load(), 3 * 8 * 8);
    EXPECT_EQ(0, otherSizes.load());
    EXPECT_EQ(Pa::NoError, Pa::CloseStream(stream));
}

// A stop that is given up while the library is inside the stream's callback
// returns once that call is over: what the callback feeds can then be handed
// to another stream without the two running side by side.
TEST(PaAdapter, AStopGivenUpReturnsOnlyOnceTheCallbackUnderWayIsOver)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    ASSERT_EQ(Pa::NoError, Pa::Initialize());
    using Clock = std::chrono::steady_clock;
    static std::atomic<int> calls{0};
    static std::atomic<bool> inside{false};
    static std::atomic<Clock::rep> holdUntil{0};
    // Once told to, the next call takes a little longer than a stop may wait.
    const Pa::Callback slow = [](void*, void*, unsigned long, double, void*) {
        inside.store(true);
        while (Clock::now().time_since_epoch().count() < holdUntil.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        calls.fetch_add(1);
        inside.store(false);
        return 0;
    };
    Pa::Stream* stream = nullptr;
    ASSERT_EQ(Pa::NoError, Pa::OpenDefaultStream(&stream, 1, 0, Pa::Float32, 44100.0, 512, 0, slow, nullptr));
    ASSERT_EQ(Pa::NoError, Pa::StartStream(stream, false));
    ASSERT_TRUE(SoundRig::WaitFor([] { return calls.load() > 3; }, SoundRig::CaptureStartMs));
    Platform::LogCapture log;
    // Longer than the window may wait for a call (less than half a second).
    holdUntil.store((Clock::now() + std::chrono::milliseconds(450)).time_since_epoch().count());
    EXPECT_EQ(Pa::NoError, Pa::StopStream(stream));
    const bool stillInside = inside.load();
    EXPECT_TRUE(log.Contains("did not answer a stop within its time")) << "the stop was not given up";
    EXPECT_FALSE(stillInside) << "the stop returned while the callback ran";
    EXPECT_EQ(Pa::NoError, Pa::CloseStream(stream));
    EXPECT_TRUE(SoundRig::WaitFor([] { return !Platform::SoundServerCalls().Stuck(); }, 5000));
}

// A start that opens the library stream anew on a server that hangs is given
// up, and goes on on the call thread: asking whether the stream is active
// meanwhile reads nothing that call writes (the thread checker sees any
// such read).
TEST(PaAdapter, AStreamWhoseOpeningAnewWasGivenUpIsInactiveAndItsLibraryStreamUntouched)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    ASSERT_EQ(Pa::NoError, Pa::Initialize());
    const Pa::Callback none = [](void*, void*, unsigned long, double, void*) { return 0; };
    Pa::Stream* stream = nullptr;
    ASSERT_EQ(Pa::NoError, Pa::OpenDefaultStream(&stream, 1, 0, Pa::Float32, 44100.0, 512, 0, none, nullptr));
    ASSERT_EQ(Pa::NoError, Pa::StartStream(stream, false));
    ASSERT_EQ(Pa::NoError, Pa::StopStream(stream));

    TempFolder folder;
    const std::string rigServer = std::getenv("PULSE_SERVER");
    {
        FakeSoundServer server(folder.Path() + "/native", FakeSoundServer::Kind::AnsweringTheGreetingOnly);
        ASSERT_TRUE(server.Listening());
        ::setenv("PULSE_SERVER", ("unix:" + folder.Path() + "/native").c_str(), 1);
        EXPECT_EQ(Pa::TimedOut, Pa::StartStream(stream, false));
        ::setenv("PULSE_SERVER", rigServer.c_str(), 1);
        for (int look = 0; look < 50; ++look) {
            EXPECT_EQ(0, Pa::StreamActive(stream));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        EXPECT_EQ(Pa::NoError, Pa::CloseStream(stream));
    }
    EXPECT_TRUE(SoundRig::WaitFor([] { return !Platform::SoundServerCalls().Stuck(); }, 10000))
        << "the open did not end once the server let it go";
    ASSERT_EQ(Pa::NoError, Pa::OpenDefaultStream(&stream, 1, 0, Pa::Float32, 44100.0, 512, 0, none, nullptr));
    EXPECT_EQ(Pa::NoError, Pa::CloseStream(stream));
}

// No stream is opened on a stopped server, however the sound library finds
// it: the open would wait for the server until the plugin's own time-out and
// the library could end the process then. The open fails at once, and no call
// is left waiting on the server.
TEST(PaAdapter, NoStreamIsOpenedOnAStoppedServerHoweverItIsNamed)
{
    const std::string rigServer = std::getenv("PULSE_SERVER") ? std::getenv("PULSE_SERVER") : "";
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    ASSERT_EQ(Pa::NoError, Pa::Initialize());
    const Pa::Callback none = [](void*, void*, unsigned long, double, void*) { return 0; };
    TempFolder folder;
    const std::string clientConf = folder.Path() + "/client.conf";
    std::ofstream(clientConf) << "default-server = " << rigServer << "\n";
    const struct {
        const char* way;
        std::string pulseServer; // empty: unset
        std::string clientConfig; // empty: unset
    } ways[] = {
        {"a client.conf", "", clientConf},
        {"a list whose first entry is missing", "unix:/nonexistent/pellora/native " + rigServer, ""},
    };
    for (const auto& w : ways) {
        SoundRig::HungServer hung(std::chrono::seconds(30));
        ASSERT_TRUE(hung.Stopped()) << w.way;
        w.pulseServer.empty() ? ::unsetenv("PULSE_SERVER") : ::setenv("PULSE_SERVER", w.pulseServer.c_str(), 1);
        if (!w.clientConfig.empty())
            ::setenv("PULSE_CLIENTCONFIG", w.clientConfig.c_str(), 1);
        Platform::LogCapture log;
        Pa::Stream* stream = nullptr;
        EXPECT_EQ(Pa::TimedOut, Pa::OpenDefaultStream(&stream, 1, 0, Pa::Float32, 44100.0, 512, 0, none, nullptr))
            << w.way;
        EXPECT_FALSE(log.Contains("opening of a stream")) << w.way << ": an open was begun";
        EXPECT_FALSE(Platform::SoundServerCalls().Stuck()) << w.way;
        ::setenv("PULSE_SERVER", rigServer.c_str(), 1);
        ::unsetenv("PULSE_CLIENTCONFIG");
        hung.Resume();
        EXPECT_TRUE(SoundRig::WaitFor([] { return !Platform::SoundServerCalls().Stuck(); }, 35000)) << w.way;
    }
}

// A capture stops once its next buffer has come, and the sound server's
// plugin may take two seconds to give the first: one stopped before that
// (the tuner left as soon as it showed) is dropped instead, and the window
// does not wait for that buffer.
TEST(PaAdapter, ACaptureStoppedBeforeItsFirstBufferDoesNotWaitForIt)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    ASSERT_EQ(Pa::NoError, Pa::Initialize());
    static std::atomic<int> calls{0};
    const Pa::Callback count = [](void*, void*, unsigned long, double, void*) {
        calls.fetch_add(1);
        return 0;
    };
    int tried = 0;
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        calls.store(0);
        Pa::Stream* stream = nullptr;
        ASSERT_EQ(Pa::NoError, Pa::OpenDefaultStream(&stream, 1, 0, Pa::Float32, 44100.0, 512, 0, count, nullptr));
        ASSERT_EQ(Pa::NoError, Pa::StartStream(stream, false));
        if (calls.load() == 0) {
            ++tried;
            EXPECT_EQ(Pa::NoError, Pa::StopStream(stream));
            EXPECT_EQ(0, calls.load()) << "the stop waited for the first buffer";
        }
        EXPECT_EQ(Pa::NoError, Pa::CloseStream(stream));
        EXPECT_TRUE(SoundRig::WaitFor([] { return !Platform::SoundServerCalls().Stuck(); }, 5000));
    }
    EXPECT_GT(tried, 0) << "every capture gave its first buffer at once";
}

// An output stopped at any moment of its start (in the silence it begins
// with, or as its first sound is given) returns once its fade is given, never
// calls its callback after that, counts as stopped, and starts again and
// closes as any other; the engine thread keeps what it writes for itself
// (the thread checker sees any write the stop races with).
TEST(PaAdapter, AnOutputStoppedAsItStartsEndsOnItsOwnAndStartsAgain)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    ASSERT_EQ(Pa::NoError, Pa::Initialize());
    static std::atomic<int> calls{0};
    const Pa::Callback tone = [](void*, void* output, unsigned long frames, double, void*) {
        calls.fetch_add(1);
        std::fill_n(static_cast<float*>(output), frames, 0.5f);
        return 0;
    };
    Pa::Stream* stream = nullptr;
    ASSERT_EQ(Pa::NoError, Pa::OpenDefaultStream(&stream, 0, 1, Pa::Float32, 44100.0, 512, 2, tone, nullptr, 2048));
    for (const int afterMs : {0, 5, 20, 60}) {
        SCOPED_TRACE(afterMs);
        ASSERT_EQ(Pa::NoError, Pa::StartStream(stream, false));
        std::this_thread::sleep_for(std::chrono::milliseconds(afterMs));
        EXPECT_EQ(Pa::NoError, Pa::AbortStream(stream));
        const int called = calls.load();
        EXPECT_EQ(0, Pa::StreamActive(stream));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(called, calls.load()) << "the callback was called after the stop";
    }
    ASSERT_EQ(Pa::NoError, Pa::StartStream(stream, false));
    EXPECT_TRUE(SoundRig::WaitFor([] { return calls.load() > 20; }, SoundRig::CaptureStartMs)) << "it starts again";
    EXPECT_EQ(Pa::NoError, Pa::AbortStream(stream));
    EXPECT_EQ(Pa::NoError, Pa::CloseStream(stream));
    EXPECT_TRUE(SoundRig::WaitFor([] { return !Platform::SoundServerCalls().Stuck(); }, 5000));
}
