// The program's start and its mixers on a sound server that answers slowly,
// hangs, dies, or dies and comes back. The process reaches the rig's server
// through a proxy that holds every reply; the test acts as the window's
// thread, whose clock polls both mixers every 100 ms, and times every call
// it makes.
#include "audio/AudioDevice.h"
#include "audio/PlaybackMixer.h"
#include "audio/RecordMixer.h"
#include "audio/SoundCardCheck.h"
#include "platform/Clock.h"
#include "platform/PaAdapter.h"
#include "platform/SoundServerCalls.h"

#include "SoundRig.h"
#include "support/SlowLink.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace {

enum class Then { Nothing, Stopped, Killed, KilledAndRestarted };

struct ServerState {
    const char* name;
    int holdMs;
    // What the server does once both mixers have opened.
    Then then;
};

const ServerState States[] = {
    {"Held0ms", 0, Then::Nothing},
    {"Held5ms", 5, Then::Nothing},
    {"Held10ms", 10, Then::Nothing},
    {"Held20ms", 20, Then::Nothing},
    {"Held50ms", 50, Then::Nothing},
    {"Held200ms", 200, Then::Nothing},
    {"Stopped", 0, Then::Stopped},
    {"Killed", 0, Then::Killed},
    {"KilledAndRestarted", 0, Then::KilledAndRestarted},
};

// The half second the window may wait in all for any press or tick.
constexpr Platform::Milliseconds WindowMayWaitMs = 500;

int FreePort()
{
    SlowLink probe(0, 0, std::chrono::seconds(0));
    return probe.Port();
}

// The server's own TCP protocol on the port; the module's number.
std::string LoadTcp(int port)
{
    std::string index = SoundRig::Output("pactl load-module module-native-protocol-tcp port=" + std::to_string(port)
                                         + " listen=127.0.0.1 auth-anonymous=1");
    while (!index.empty() && (index.back() == '\n' || index.back() == ' '))
        index.pop_back();
    return index;
}

class SlowServer : public ::testing::TestWithParam<ServerState> { };

} // namespace

TEST_P(SlowServer, StartsWithItsMixersKeepsTheInputAndNeitherWriteNorChangeIsLostWhileTheWindowNeverWaits)
{
    const ServerState& state = GetParam();
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    const std::string rig = std::getenv("PULSE_SERVER");
    ::setenv("PELLORA_RIG_PULSE_SERVER", rig.c_str(), 1);
    const int tcpPort = FreePort();
    std::string module = LoadTcp(tcpPort);
    ASSERT_FALSE(module.empty());
    SlowLink link(tcpPort, state.holdMs);
    ASSERT_NE(0, link.Port());
    ::setenv("PULSE_SERVER", ("tcp:127.0.0.1:" + std::to_string(link.Port())).c_str(), 1);

    Platform::Milliseconds longest = 0;
    std::string longestCall;
    const auto timed = [&](const char* what, const std::function<void()>& call) {
        const Platform::Milliseconds start = Platform::NowMs();
        call();
        if (Platform::NowMs() - start > longest) {
            longest = Platform::NowMs() - start;
            longestCall = what;
        }
    };
    const auto tickUntil = [&](const std::function<bool()>& done, int ms) {
        for (int waited = 0; waited < ms && !done(); waited += 100) {
            timed("a tick", [] {
                RecordMixer::Instance().Poll();
                PlaybackMixer::Instance().Poll();
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return done();
    };
    const auto ticks = [&](int ms) { tickUntil([] { return false; }, ms); };

    // The check made before any window shows, as the program makes it.
    const Platform::Milliseconds checking = Platform::NowMs();
    SoundCard card = SoundCard::NoAnswer;
    if (Platform::Pa::ServerAnswers(Platform::StartUpWithinMs))
        card = CheckSoundCard(0, Platform::StartUpWithinMs - (Platform::NowMs() - checking));
    const Platform::Milliseconds checked = Platform::NowMs() - checking;

    // Made with the main window, before it shows: the sound library's start
    // in it may take the start-up bound.
    const Platform::Milliseconds making = Platform::NowMs();
    AudioDevice* device = &AudioDevice::Instance();
    const Platform::Milliseconds made = Platform::NowMs() - making;
    auto shown = std::make_shared<int>(0);
    device->AddOutputVolumeListener([shown] { ++*shown; });
    const auto opened = [] { return RecordMixer::Instance().IsOpen() && PlaybackMixer::Instance().IsOpen(); };
    const auto inputKept = [device] {
        return device->GetInputs().count("Capture") != 0 && device->SelectedLine().name == "Capture";
    };
    const Platform::Milliseconds opening = Platform::NowMs();
    const bool open = tickUntil([&] { return opened() && inputKept(); }, 20000 + 200 * state.holdMs);
    const Platform::Milliseconds openedAfter = Platform::NowMs() - opening;

    std::optional<SoundRig::HungServer> hung;
    if (state.then == Then::Stopped)
        hung.emplace(std::chrono::seconds(30));
    if (state.then == Then::Killed || state.then == Then::KilledAndRestarted) {
        EXPECT_TRUE(SoundRig::StopServer());
    }
    ticks(1000);
    timed("a slider's write", [&] { device->SetOutputVolume(37); });
    ticks(1000);
    hung.reset();
    if (state.then == Then::KilledAndRestarted) {
        EXPECT_TRUE(SoundRig::StartServer());
        module = LoadTcp(tcpPort);
        EXPECT_TRUE(tickUntil([&] { return opened() && inputKept(); }, 20000)) << "the mixers come back";
    }
    const bool serverThere = state.then != Then::Killed;
    const bool written = serverThere && tickUntil([] { return SoundRig::VolumeIs("sink", 37); }, 10000);

    int reported = 0;
    for (int change = 1; serverThere && change <= 10; ++change) {
        const int before = *shown;
        std::system(
            (SoundRig::RigServerEnv() + "pactl set-sink-volume @DEFAULT_SINK@ " + std::to_string(40 + change) + "%")
                .c_str());
        // Both mixers read each change, one after the other, in a score of
        // the server's replies each.
        reported += tickUntil([&] { return *shown > before && device->GetOutputVolume() == 40 + change; },
                              5000 + 50 * state.holdMs);
    }

    std::printf("[ %s: card check %s in %lld ms; device made in %lld ms; mixers %s after %lld ms; input kept %s; write "
                "%s; outside changes "
                "shown %d of 10; the window's longest wait %lld ms (%s) ]\n",
                state.name,
                card == SoundCard::Present      ? "present"
                    : card == SoundCard::Absent ? "NO CARD"
                                                : "no answer",
                (long long)checked, (long long)made, open ? "open" : "NOT open", (long long)openedAfter,
                inputKept() ? "yes" : "NO", written ? "reached the sink" : "did not reach the sink", reported,
                (long long)longest, longestCall.c_str());
    EXPECT_NE(SoundCard::Absent, card) << "the card is there";
    if (state.holdMs <= 50) {
        EXPECT_EQ(SoundCard::Present, card);
    }
    EXPECT_TRUE(open);
    EXPECT_TRUE(inputKept());
    EXPECT_EQ(serverThere, written);
    EXPECT_EQ(serverThere ? 10 : 0, reported);
    EXPECT_LT(longest, WindowMayWaitMs);

    if (!SoundRig::ServerAnswers())
        EXPECT_TRUE(SoundRig::StartServer());
    else
        SoundRig::Output("pactl unload-module " + module);
    SoundRig::Output("pactl set-sink-volume @DEFAULT_SINK@ 100%");
    ::setenv("PULSE_SERVER", rig.c_str(), 1);
}

INSTANTIATE_TEST_SUITE_P(ServerStates, SlowServer, ::testing::ValuesIn(States),
                         [](const ::testing::TestParamInfo<ServerState>& info) { return info.param.name; });
