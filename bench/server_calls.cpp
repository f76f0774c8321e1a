// How long the calls that reach the sound server take from the calling (the
// window's) thread on a server that answers, busy or not: the check, a
// play-back's and a capture's open, start and stop (a play-back is aborted, a
// capture stopped, as the program does; a capture stopped at once
// and after it ran), and the mixer: its opening and a volume moved elsewhere,
// each until its answer reaches the window's thread (which never waits for
// it), and the window's own part of the polls meanwhile. The bounds the
// window's thread keeps on a server that does not answer must leave the
// streams' calls room.
//
//   eval "$(bash scripts/rig.sh start DIR)"
//   server_calls [RUNS (20)] [CPU HOGS (0)]

#include "platform/AlsaMixer.h"
#include "platform/PaAdapter.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace Pa = Platform::Pa;

int Silence(void*, void*, unsigned long, double, void*)
{
    return 0;
}

double TimeMs(const std::function<void()>& call)
{
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

std::map<std::string, std::vector<double>> timings;

void Timed(const std::string& what, const std::function<void()>& call)
{
    timings[what].push_back(TimeMs(call));
}

void Streams()
{
    Pa::Stream* out = nullptr;
    Timed("output open", [&] { Pa::OpenDefaultStream(&out, 0, 1, Pa::Float32, 44100, 1024, 0, &Silence, nullptr); });
    if (!out)
        return;
    Timed("output start", [&] { Pa::StartStream(out, false); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Timed("output stop", [&] { Pa::AbortStream(out); });
    Timed("output start again", [&] { Pa::StartStream(out, false); });
    Timed("output stop again", [&] { Pa::AbortStream(out); });
    Timed("output close", [&] { Pa::CloseStream(out); });

    Pa::Stream* in = nullptr;
    Timed("capture open", [&] { Pa::OpenDefaultStream(&in, 1, 0, Pa::Float32, 44100, 512, 0, &Silence, nullptr); });
    if (!in)
        return;
    Timed("capture start", [&] { Pa::StartStream(in, false); });
    Timed("capture stop at once", [&] { Pa::StopStream(in); });
    Timed("capture start again", [&] { Pa::StartStream(in, false); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Timed("capture stop after running", [&] { Pa::StopStream(in); });
    Timed("capture close", [&] { Pa::CloseStream(in); });
}

void Mixer(int run)
{
    std::unique_ptr<Platform::MixerBackend> mixer;
    Timed("mixer open (the window's part)", [&] { mixer = Platform::OpenAlsaMixer("default"); });
    const double opened = TimeMs([&] {
        for (int wait = 0; wait < 5000 && !mixer->Ready() && !mixer->Lost(); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    if (!mixer->Ready())
        return;
    timings["mixer open until answered"].push_back(opened);
    std::system(("pactl set-sink-volume @DEFAULT_SINK@ " + std::to_string(90 + run % 2 * 5) + "%").c_str());
    double longest = 0.0;
    bool changed = false;
    const double told = TimeMs([&] {
        for (int poll = 0; poll < 200 && !changed; ++poll) {
            longest = std::max(longest, TimeMs([&] { changed = !mixer->Poll().empty(); }));
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    timings["mixer poll (the window's part)"].push_back(longest);
    timings["mixer change until told"].push_back(told);
    Timed("mixer close", [&] { mixer.reset(); });
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20;
    const int hogs = argc > 2 ? std::atoi(argv[2]) : 0;
    std::vector<pid_t> hogPids;
    for (int i = 0; i < hogs; ++i) {
        const pid_t pid = fork();
        if (pid == 0)
            for (volatile unsigned long spin = 0;; ++spin) {
            }
        hogPids.push_back(pid);
    }
    Pa::Initialize();
    for (int run = 0; run < runs; ++run) {
        Timed("check", [] { Pa::ServerAnswers(3000); });
        Streams();
        Mixer(run);
    }
    for (pid_t pid : hogPids) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    std::printf("%d runs, %d CPU hogs: milliseconds on the calling thread\n", runs, hogs);
    std::printf("%-30s %8s %8s %8s\n", "call", "median", "p90", "max");
    for (auto& [what, ms] : timings) {
        std::sort(ms.begin(), ms.end());
        std::printf("%-30s %8.1f %8.1f %8.1f\n", what.c_str(), ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.back());
    }
    return 0;
}
