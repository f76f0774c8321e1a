// Streams on the test rig's sound server: what our output stream plays is
// heard on the null sink's monitor, and our capture stream hears what paplay plays.
#include "SoundRig.h"

#include "audio/WaveCallbackTable.h"
#include "audio/WaveIn.h"
#include "audio/WaveOut.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

// Only eight streams can ever get callbacks in one process; the tests share two.
WaveOut& Output()
{
    static WaveOut out(44100, 512, false);
    return out;
}

WaveIn& Input()
{
    static WaveIn in(44100, 512);
    return in;
}

} // namespace

TEST(Wave, OutputIsHeardAndStopsAtOnce)
{
    WaveOut& out = Output();
    ASSERT_EQ(0, out.Open(44100, 512));
    double phase = 0.0;
    std::atomic<unsigned long> frameCounts{0};
    std::atomic<double> given{0.0};
    out.SetCallback(
        [&](void* input, void* output, unsigned long frames, double outTime, void*) {
            EXPECT_EQ(nullptr, input);
            frameCounts.store(frames);
            given.store(outTime + double(frames));
            float* o = static_cast<float*>(output);
            for (unsigned long i = 0; i < frames; ++i) {
                o[i] = float(0.5 * std::sin(phase));
                phase += 2.0 * M_PI * 660.0 / 44100.0;
            }
            return 0;
        },
        nullptr);
    // Only this tone is heard.
    ASSERT_TRUE(SoundRig::WaitUntilSilent());
    ASSERT_EQ(0, out.Start(false));
    const std::vector<float> heard = SoundRig::Record(2.0);
    EXPECT_TRUE(out.IsActive());
    EXPECT_EQ(512u, frameCounts.load());
    EXPECT_GT(out.StreamTime(), 44100.0);
    // A long way is queued ahead, and the stream time counts what was heard.
    EXPECT_GT(given.load() - out.StreamTime(), 0.8 * WaveOut::Latency * 44100.0);

    EXPECT_EQ(0, out.Stop());
    EXPECT_FALSE(out.IsActive());
    EXPECT_TRUE(out.Close());
    EXPECT_FALSE(out.IsOpen());
    EXPECT_EQ(Platform::Pa::BadStreamPointer, out.Start(false));
    EXPECT_FALSE(out.IsActive());

    ASSERT_GT(heard.size(), 44100u);
    const std::size_t at = SoundRig::Loudest(heard, 22050);
    EXPECT_GT(SoundRig::RelativePower(heard, at, at + 22050, 660.0), 0.8);
    EXPECT_NEAR(660.0, SoundRig::ZeroCrossingFrequency(heard, at, at + 22050), 1.0);
}

TEST(Wave, OutputBuffersStartSilentAndAStreamWithoutCallableKeepsRunningSilently)
{
    WaveOut& out = Output();
    ASSERT_EQ(0, out.Open(44100, 512));
    std::atomic<bool> dirty{false};
    out.SetCallback(
        [&](void*, void* output, unsigned long frames, double, void*) {
            const float* o = static_cast<const float*>(output);
            for (unsigned long i = 0; i < frames; ++i)
                if (o[i] != 0.0f)
                    dirty.store(true);
            return 0;
        },
        nullptr);
    ASSERT_EQ(0, out.Start(false));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    out.Stop();
    EXPECT_FALSE(dirty.load());

    out.SetCallback(StreamCallback(), nullptr);
    EXPECT_EQ(0, out.PaCallback(nullptr, nullptr, 512, 0.0, nullptr));
    ASSERT_EQ(0, out.Start(false));
    const std::vector<float> heard = SoundRig::Record(1.0);
    EXPECT_TRUE(out.IsActive());
    out.Stop();
    out.Close();
    ASSERT_GT(heard.size(), 22050u);
    EXPECT_LT(SoundRig::Rms(heard, 0, heard.size()), 1e-4);
}

TEST(Wave, CaptureHearsWhatIsPlayed)
{
    WaveIn& in = Input();
    ASSERT_TRUE(in.IsOpen());
    std::vector<float> captured(44100 * 3);
    std::atomic<std::size_t> filled{0};
    in.SetCallback(
        [&](void* input, void* output, unsigned long frames, double, void*) {
            EXPECT_EQ(nullptr, output);
            const float* i = static_cast<const float*>(input);
            std::size_t at = filled.load();
            for (unsigned long k = 0; k < frames && at < captured.size(); ++k)
                captured[at++] = i[k];
            filled.store(at);
            return 0;
        },
        nullptr);
    const std::string tone = SoundRig::ToneFile(523.25, 3.0);
    ASSERT_FALSE(tone.empty());
    ASSERT_EQ(0, in.Start(false));
    ASSERT_TRUE(SoundRig::WaitFor([&] { return filled.load() > 0; }, SoundRig::CaptureStartMs));
    SoundRig::Player player(tone);
    ASSERT_TRUE(player.Started());
    EXPECT_TRUE(SoundRig::WaitFor([&] { return filled.load() == captured.size(); }, 5000));
    EXPECT_EQ(0, in.Stop());
    EXPECT_FALSE(in.IsActive());
    std::remove(tone.c_str());

    const std::size_t n = filled.load();
    ASSERT_GT(n, 44100u);
    const std::size_t at = SoundRig::Loudest(std::vector<float>(captured.begin(), captured.begin() + long(n)), 22050);
    EXPECT_GT(SoundRig::Rms(captured, at, at + 22050), 0.1);
    EXPECT_NEAR(523.25, SoundRig::ZeroCrossingFrequency(captured, at, at + 22050), 1.0);
}

TEST(WaveCallbackTable, TheNinthStreamGetsNoCallbackAndCannotOpen)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // In a fresh process, so that the table starts empty.
    EXPECT_EXIT(
        {
            std::vector<std::unique_ptr<WaveOut>> waves;
            int reached = -1;
            for (int i = 0; i < 3; ++i) {
                waves.push_back(std::make_unique<WaveOut>(44100, 512, false));
                waves.back()->SetCallback(
                    [&reached, i](void*, void*, unsigned long, double, void*) {
                        reached = i;
                        return 7;
                    },
                    nullptr);
            }
            bool ok = WaveCallbackTable::StaticCallback<1>(nullptr, nullptr, 0, 0.0, nullptr) == 7 && reached == 1;
            ok = ok && WaveCallbackTable::StaticCallback<3>(nullptr, nullptr, 0, 0.0, nullptr) == 0;
            ok = ok && WaveCallbackTable::StaticCallback<7>(nullptr, nullptr, 0, 0.0, nullptr) == 0;
            for (int i = 3; i < 8; ++i)
                waves.push_back(std::make_unique<WaveOut>(44100, 512, false));
            ok = ok && waves.back()->HasTrampoline();
            WaveOut ninth(44100, 512, true);
            ok = ok && !ninth.HasTrampoline() && ninth.GetError() == Platform::Pa::NullCallback && !ninth.IsOpen();
            ok = ok && WaveCallbackTable::Instance().Count() == 8;
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(Wave, ACallbackThatThrowsStopsItsStreamAndIsReported)
{
    WaveOut& out = Output();
    ASSERT_EQ(0, out.Open(44100, 512));
    out.SetCallback([](void*, void*, unsigned long, double, void*) -> int { throw std::runtime_error("boom"); },
                    nullptr);
    Platform::LogCapture log;
    ASSERT_EQ(0, out.Start(false));
    EXPECT_TRUE(SoundRig::WaitFor([&] { return !out.IsActive(); }, 2000));
    out.Stop();
    out.Close();
    EXPECT_TRUE(log.Contains("stream callback failed"));
}

// A start of play-back opens one library stream, with the host buffers asked
// for before the open, not one at the open and another at the start. The
// server's plugin makes the server's stream when the library prepares its
// own, at the open, and makes it anew at the start: one library stream
// makes two, a second one at least three.
TEST(Wave, AnOutputStartOpensOneLibraryStream)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    const std::string events = SoundRig::TempPath("server-events.txt");
    ASSERT_EQ(0, std::system(("(timeout 5 pactl subscribe; echo over) >" + events + " 2>/dev/null &").c_str()));
    // pactl takes a moment to subscribe.
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    WaveOut& out = Output();
    out.SetHostFrames(2048);
    ASSERT_EQ(0, out.Open(44100, 512));
    out.SetCallback([](void*, void*, unsigned long, double, void*) { return 0; }, nullptr);
    ASSERT_EQ(0, out.Start(false));
    EXPECT_TRUE(SoundRig::WaitFor([&] { return out.StreamTime() > 2048.0; }, SoundRig::CaptureStartMs));
    EXPECT_EQ(0, out.Stop());
    EXPECT_TRUE(out.Close());
    out.SetHostFrames(0);
    int made = 0;
    EXPECT_TRUE(SoundRig::WaitFor(
        [&] {
            std::ifstream lines(events);
            made = 0;
            bool over = false;
            for (std::string line; std::getline(lines, line);) {
                made += line.find("'new' on sink-input") != std::string::npos;
                over = over || line == "over";
            }
            return over;
        },
        10000));
    std::remove(events.c_str());
    EXPECT_GE(made, 1);
    EXPECT_LE(made, 2);
}
