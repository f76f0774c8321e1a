// Plays the metronome (114 bpm, a bar of four, tone clicks) through the audio
// device while stress-ng loads every core, records the sound server's default
// source (in the rig, the null sink's monitor) with parec, and finds the
// clicks: how many were lost, doubled or cut, and how late the latest was
// against the beat grid set by the first.
//
//   eval "$(bash scripts/rig.sh start DIR)"
//   metronome_load [SECONDS (60)] [HOGS PER CORE (4)]

#include "audio/AudioDevice.h"
#include "audio/LoopBuffer.h"
#include "audio/WaveGenerators.h"
#include "bench/ChildProcess.h"
#include "tests/support/ClickOnsets.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using bench::Spawn;
using bench::Stop;

constexpr int Rate = 44100;
constexpr int Bpm = 114;

std::vector<float> ReadRaw(const std::string& path)
{
    std::vector<float> samples;
    std::ifstream in(path, std::ios::binary);
    float value = 0.0f;
    while (in.read(reinterpret_cast<char*>(&value), sizeof value))
        samples.push_back(value);
    return samples;
}

using TestSupport::ClickOnsets;

// A click with a dropout: a run of silence inside its first tenth of a beat.
bool Cut(const std::vector<float>& x, std::size_t onset, std::size_t length)
{
    std::size_t run = 0;
    for (std::size_t i = onset; i < std::min(x.size(), onset + length); ++i) {
        run = std::fabs(x[i]) < 1e-6f ? run + 1 : 0;
        if (run >= 32)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    const int hogsPerCore = argc > 2 ? std::atoi(argv[2]) : 4;
    if (!std::getenv("PULSE_SERVER"))
        std::fprintf(stderr, "metronome_load: PULSE_SERVER is not set; run it inside the rig\n");
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::string raw = "/tmp/metronome_load-" + std::to_string(getpid()) + ".raw";

    const int rawFile = open(raw.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const pid_t recorder = Spawn({"parec", "--raw", "--format=float32le", "--rate=44100", "--channels=1"}, rawFile);
    close(rawFile);
    pid_t hogs = -1;
    if (hogsPerCore > 0)
        hogs = Spawn({"stress-ng", "--quiet", "--cpu", std::to_string(hogsPerCore * int(cores)), "--timeout",
                      std::to_string(int(seconds) + 10)});
    std::this_thread::sleep_for(std::chrono::seconds(2));

    LoopBuffer& loop = LoopBuffer::Instance();
    if (!loop.BuildBeats(Bpm, 4, ToneClick(440.0f), ToneClick(880.0f)))
        return 1;
    AudioDevice& device = AudioDevice::Instance();
    const int started = device.StartOutput(
        Rate, 512,
        [&loop](void* input, void* output, unsigned long frames, double outTime, void* userData) {
            return loop.PlayCallback(input, output, frames, outTime, userData);
        },
        false);
    if (started != 0) {
        std::fprintf(stderr, "metronome_load: the output did not start\n");
        Stop(hogs);
        Stop(recorder);
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    device.StopOutput();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Stop(hogs);
    Stop(recorder);

    const std::vector<float> heard = ReadRaw(raw);
    std::remove(raw.c_str());
    const std::vector<std::size_t> onsets = ClickOnsets(heard);
    if (onsets.size() < 2) {
        std::printf("metronome_load: %zu clicks heard in %.1f s of recording\n", onsets.size(),
                    double(heard.size()) / Rate);
        return 1;
    }
    const double beat = double(BeatSamples(Bpm, Rate));
    const double ms = Rate / 1000.0;
    std::vector<int> seen;
    int doubled = 0, cut = 0, lateOver1 = 0;
    double worstLate = 0.0, worstEarly = 0.0;
    for (std::size_t onset : onsets) {
        const double offset = double(onset) - double(onsets.front());
        const int k = int(std::lround(offset / beat));
        const double deviation = offset - k * beat;
        if (!seen.empty() && seen.back() == k)
            ++doubled;
        seen.push_back(k);
        worstLate = std::max(worstLate, deviation / ms);
        worstEarly = std::min(worstEarly, deviation / ms);
        // The last click may be cut by the stop itself.
        const bool dropout = onset != onsets.back() && Cut(heard, onset, std::size_t(beat / 10));
        if (deviation > ms)
            ++lateOver1;
        if (dropout)
            ++cut;
        if ((std::fabs(deviation) > ms || dropout) && lateOver1 + cut <= 12)
            std::printf("  at %6.2f s: beat %d %+.2f ms%s\n", double(onset) / Rate, k, deviation / ms,
                        dropout ? ", with a dropout" : "");
    }
    const int expected = seen.back() + 1;
    const int distinct = int(std::unique(seen.begin(), seen.end()) - seen.begin());
    std::printf("metronome_load: %.0f s at %d bpm, %d stress-ng hogs on %u cores, output latency %.0f ms\n", seconds,
                Bpm, hogsPerCore * int(cores), cores, WaveOut::Latency * 1000.0);
    std::printf("clicks expected %d, heard %d, lost %d, doubled %d, cut %d\n", expected, distinct, expected - distinct,
                doubled, cut);
    std::printf("against the grid: worst late %.2f ms, worst early %.2f ms, late by more than 1 ms: %d\n", worstLate,
                -worstEarly, lateOver1);
    return 0;
}
