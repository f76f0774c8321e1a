// How soon a press is heard, and how starts, retunes and stops sound, heard
// back from the sound server's default source (in the rig, the null sink's
// monitor) through parec: for ten presses each of the metronome's PLAY (tone
// clicks) and of the reference tone, the time from the press to the first
// sample heard and whether that sample is whole; for ten retunes of a playing
// reference tone (a new tone handed to the stream that plays, as the tuner
// does), the longest silence between the old tone and the new; for every
// stop, how long until silence and how far from silence the sound's last
// samples were; then, with eight CPU hogs (`yes`), the same presses again and
// the dropouts of a reference tone played through; the CPU the process used
// while the metronome played (the sound alone: no window); and, idle and
// loaded, how long after each click is heard the beat displays' clock
// reaches its beat.
//
//   eval "$(bash scripts/rig.sh start DIR)"
//   sound_start [HOGS (8)] [SECONDS UNDER LOAD (20)]

#include "audio/AudioDevice.h"
#include "audio/LoopBuffer.h"
#include "audio/WaveGenerators.h"
#include "bench/ChildProcess.h"
#include "tests/support/HeardStart.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using bench::Spawn;
using bench::Stop;

constexpr int Rate = 44100;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point t)
{
    return std::chrono::duration<double>(t.time_since_epoch()).count();
}

void Sleep(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// parec's output read as it arrives: sample i was heard at about
// origin + i / Rate, origin being the earliest that any read's samples
// could have been heard (they cannot have been heard after they arrived).
class Recording {
public:
    Recording()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        pid_ = Spawn({"parec", "--raw", "--format=float32le", "--rate=44100", "--channels=1", "--latency-msec=5"},
                     fds[1]);
        close(fds[1]);
        reader_ = std::thread([this, fd = fds[0]] { Read(fd); });
        while (Size() == 0)
            Sleep(0.01);
        Sleep(0.5);
    }
    ~Recording()
    {
        Stop(pid_);
        reader_.join();
    }
    std::size_t Size()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return samples_.size();
    }
    // The sample heard at that moment.
    std::size_t IndexAt(double seconds)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::size_t(std::max(0.0, (seconds - origin_) * Rate));
    }
    double SecondsAt(std::size_t index)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return origin_ + double(index) / Rate;
    }
    std::vector<float> Between(std::size_t from, std::size_t to)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        to = std::min(to, samples_.size());
        return from < to ? std::vector<float>(samples_.begin() + long(from), samples_.begin() + long(to))
                         : std::vector<float>();
    }

private:
    void Read(int fd)
    {
        std::vector<char> chunk(65536);
        std::vector<char> partial;
        for (;;) {
            const ssize_t n = read(fd, chunk.data(), chunk.size());
            if (n <= 0)
                break;
            const double now = Seconds(Clock::now());
            partial.insert(partial.end(), chunk.begin(), chunk.begin() + n);
            const std::size_t whole = partial.size() / sizeof(float);
            std::lock_guard<std::mutex> lock(mutex_);
            const std::size_t at = samples_.size();
            samples_.resize(at + whole);
            std::memcpy(samples_.data() + at, partial.data(), whole * sizeof(float));
            partial.erase(partial.begin(), partial.begin() + long(whole * sizeof(float)));
            origin_ = std::min(origin_, now - double(samples_.size()) / Rate);
        }
        close(fd);
    }

    pid_t pid_ = -1;
    std::thread reader_;
    std::mutex mutex_;
    std::vector<float> samples_;
    double origin_ = 1e300;
};

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : 0.5 * (v[v.size() / 2 - 1] + v[v.size() / 2]);
}

double Max(const std::vector<double>& v)
{
    return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
}

// ---- what a press does in the program ----

LoopBuffer& Loop()
{
    return LoopBuffer::Instance();
}

AudioDevice& Device()
{
    return AudioDevice::Instance();
}

// The metronome's PLAY with tone clicks: 240 bpm, a beat a bar.
void PlayMetronome()
{
    LoopBuffer& loop = Loop();
    loop.BuildBeats(240, 1, ToneClick(440.0f), ToneClick(880.0f));
    Device().StopOutput();
    loop.Restart();
    Device().StartOutput(
        Rate, 512,
        [&loop](void* input, void* output, unsigned long frames, double outTime, void* userData) {
            return loop.PlayCallback(input, output, frames, outTime, userData);
        },
        false);
}

// The tuner's PLAY, and a new frequency while it plays.
void PlayTone(float frequency)
{
    LoopBuffer& loop = Loop();
    loop.BuildTone(frequency);
    Device().StartOutput(Rate, loop.Size(), loop);
}

void Retune(float frequency)
{
    Loop().BuildTone(frequency);
}

void StopSound()
{
    Device().StopOutput();
}

// ---- measures ----

struct Press {
    double heardMs = -1.0; // from the press to the first sample heard
    std::size_t missing = 0;
    double worstError = 1.0;
    double endJump = 0.0; // the largest of the last samples heard before the stop's silence
    double silentMs = -1.0; // from the stop to the silence
};

std::size_t SoundEnd(const std::vector<float>& x)
{
    std::size_t end = x.size();
    while (end > 0 && std::fabs(x[end - 1]) <= 1e-4f)
        --end;
    return end;
}

// The largest of the last 8 samples before the sound ends in silence.
double EndJump(const std::vector<float>& x)
{
    const std::size_t end = SoundEnd(x);
    double jump = 0.0;
    for (std::size_t i = end >= 8 ? end - 8 : 0; i < end; ++i)
        jump = std::max(jump, double(std::fabs(x[i])));
    return jump;
}

Press PressAndHear(Recording& recording, const std::function<void()>& press, double playSeconds, std::size_t later)
{
    Press result;
    const double pressedAt = Seconds(Clock::now());
    press();
    const std::vector<float> played = Loop().Samples();
    Sleep(playSeconds);
    const double stoppedAt = Seconds(Clock::now());
    StopSound();
    Sleep(0.5);
    const std::size_t from = recording.IndexAt(pressedAt);
    const std::vector<float> heard = recording.Between(from, recording.IndexAt(Seconds(Clock::now())));
    const auto loud = std::find_if(heard.begin(), heard.end(), [](float v) { return std::fabs(v) > 1e-4f; });
    if (loud == heard.end())
        return result;
    result.heardMs = (recording.SecondsAt(from + std::size_t(loud - heard.begin())) - pressedAt) * 1000.0;
    const TestSupport::HeardStart start = TestSupport::MeasureHeardStart(heard, played, later);
    if (start.found) {
        result.missing = start.missing;
        result.worstError = start.worstError;
    }
    const std::size_t stop = recording.IndexAt(stoppedAt) - from;
    double peak = 0.0;
    for (float v : played)
        peak = std::max(peak, double(std::fabs(v)));
    result.endJump = peak > 0.0 ? 1.0 / peak : 0.0;
    // From 50 ms before the stop: the moment is known to a few milliseconds.
    const std::size_t early = Rate / 20;
    const std::size_t tailFrom = std::min(stop > early ? stop - early : 0, heard.size());
    const std::vector<float> tail(heard.begin() + long(tailFrom), heard.end());
    result.endJump *= EndJump(tail);
    result.silentMs = (double(SoundEnd(tail)) - double(stop - tailFrom)) * 1000.0 / Rate;
    return result;
}

void Report(const char* name, const std::vector<Press>& presses)
{
    std::vector<double> heard, jumps, silent;
    std::size_t missingMax = 0, broken = 0;
    double errorMax = 0.0;
    for (const Press& p : presses) {
        if (p.heardMs < 0.0) {
            ++broken;
            continue;
        }
        heard.push_back(p.heardMs);
        jumps.push_back(p.endJump);
        silent.push_back(p.silentMs);
        missingMax = std::max(missingMax, p.missing);
        errorMax = std::max(errorMax, p.worstError);
    }
    std::printf("%-34s heard after %6.1f ms median, %6.1f ms worst; first sample: up to %zu missing, error up to "
                "%.3f; silent %.0f ms after the stop (median), its last samples up to %.3f of the peak; %zu never "
                "heard\n",
                name, Median(heard), Max(heard), missingMax, errorMax, Median(silent), Max(jumps), broken);
}

void Presses(Recording& recording, const char* suffix)
{
    std::vector<Press> clicks, tones;
    for (int i = 0; i < 10; ++i)
        clicks.push_back(PressAndHear(recording, PlayMetronome, 0.8 + 0.023 * i, 2 * 11025));
    for (int i = 0; i < 10; ++i)
        tones.push_back(PressAndHear(recording, [i] { PlayTone(110.0f + float(i)); }, 0.8 + 0.0013 * i, 22050));
    Report((std::string("PLAY, tone clicks") + suffix).c_str(), clicks);
    Report((std::string("reference tone") + suffix).c_str(), tones);
}

// How long after its click is heard the beat displays' clock reaches each
// beat: the played time they read, polled every millisecond from the press,
// against the moment each click of the metronome (240 bpm, a beat a bar) was
// heard; the first beat of a PLAY apart from the later ones, the first PLAY
// of the run apart too. The displays draw at most every 50 ms on top of this.
void BeatsShown(Recording& recording, const char* suffix)
{
    constexpr double Beat = 11025.0;
    constexpr double Listen = 1.2;
    std::vector<double> first, later;
    for (int press = 0; press < 10; ++press) {
        const double pressedAt = Seconds(Clock::now());
        PlayMetronome();
        std::vector<std::pair<double, double>> readings;
        while (Seconds(Clock::now()) - pressedAt < Listen) {
            readings.emplace_back(Seconds(Clock::now()), Device().Output().StreamTime());
            Sleep(0.001);
        }
        StopSound();
        Sleep(0.5);
        const std::size_t from = recording.IndexAt(pressedAt);
        const std::vector<float> heard = recording.Between(from, recording.IndexAt(pressedAt + Listen));
        std::size_t quiet = 100;
        std::size_t beat = 0;
        for (std::size_t i = 0; i < heard.size(); ++i) {
            const bool loud = std::fabs(heard[i]) > 1e-3f;
            if (loud && quiet >= 100) {
                const double frame = double(beat) * Beat;
                const auto shown = std::find_if(readings.begin(), readings.end(),
                                                [frame](const auto& r) { return r.second > frame; });
                if (shown == readings.end())
                    break;
                (beat == 0 ? first : later).push_back((shown->first - recording.SecondsAt(from + i)) * 1000.0);
                ++beat;
            }
            quiet = loud ? 0 : quiet + 1;
        }
    }
    std::printf("%-34s the displays' clock reaches the first beat of a PLAY %6.1f ms after its click (median; "
                "%.1f worst, %.1f on the first PLAY), later beats %6.1f ms after (median; %.1f worst)\n",
                (std::string("beats shown") + suffix).c_str(), Median(first), Max(first),
                first.empty() ? 0.0 : first.front(), Median(later), Max(later));
}

// The longest stretch of silence from a retune to 0.5 s after it.
void Retunes(Recording& recording)
{
    std::vector<double> gaps, builds;
    PlayTone(110.0f);
    Sleep(0.8);
    for (int i = 0; i < 10; ++i) {
        const double pressedAt = Seconds(Clock::now());
        Retune(i % 2 ? 110.0f : 116.54f);
        builds.push_back((Seconds(Clock::now()) - pressedAt) * 1000.0);
        Sleep(0.8);
        const std::size_t from = recording.IndexAt(pressedAt);
        const std::vector<float> heard = recording.Between(from, from + Rate / 2);
        std::size_t run = 0, longest = 0;
        for (float v : heard) {
            run = std::fabs(v) < 1e-3f ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        gaps.push_back(double(longest) * 1000.0 / Rate);
    }
    StopSound();
    Sleep(0.3);
    std::printf("%-34s gap %6.1f ms median, %6.1f ms worst; the retune call took %.1f ms median\n",
                "retune of a playing tone", Median(gaps), Max(gaps), Median(builds));
}

// Stretches of silence in a tone played through: dropouts.
void Dropouts(Recording& recording, double seconds)
{
    const double startedAt = Seconds(Clock::now());
    PlayTone(110.0f);
    Sleep(seconds);
    const double stoppedAt = Seconds(Clock::now());
    StopSound();
    Sleep(0.3);
    std::vector<float> heard = recording.Between(recording.IndexAt(startedAt), recording.IndexAt(stoppedAt));
    const auto first = std::find_if(heard.begin(), heard.end(), [](float v) { return std::fabs(v) > 1e-4f; });
    int dropouts = 0;
    std::size_t run = 0;
    for (auto it = first; it != heard.end(); ++it) {
        run = std::fabs(*it) < 1e-4f ? run + 1 : 0;
        if (run == 16)
            ++dropouts;
    }
    // The stop's own silence at the end is no dropout.
    if (run >= 16)
        --dropouts;
    std::printf("%-34s %d dropouts in %.0f s of tone\n", "under load", dropouts, seconds);
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

void MetronomeCpu(double seconds)
{
    PlayMetronome();
    Sleep(1.0);
    const double before = CpuSeconds();
    Sleep(seconds);
    const double used = CpuSeconds() - before;
    StopSound();
    std::printf("%-34s %.2f ms of CPU a second while the metronome plays (%.0f s)\n", "CPU", used * 1000.0 / seconds,
                seconds);
    // A stop returns before its fade is heard: the presses timed next find silence.
    Sleep(0.5);
}

} // namespace

int main(int argc, char** argv)
{
    const int hogs = argc > 1 ? std::atoi(argv[1]) : 8;
    const double loadSeconds = argc > 2 ? std::atof(argv[2]) : 20.0;
    if (!std::getenv("PULSE_SERVER"))
        std::fprintf(stderr, "sound_start: PULSE_SERVER is not set; run it inside the rig\n");
    Device();
    Recording recording;
    BeatsShown(recording, "");
    MetronomeCpu(10.0);
    Presses(recording, "");
    Retunes(recording);

    if (hogs <= 0)
        return 0;
    std::vector<pid_t> hogPids;
    const int null = open("/dev/null", O_WRONLY);
    for (int i = 0; i < hogs; ++i)
        hogPids.push_back(Spawn({"yes"}, null));
    Sleep(1.0);
    Presses(recording, ", loaded");
    BeatsShown(recording, ", loaded");
    Dropouts(recording, loadSeconds);
    for (pid_t pid : hogPids)
        Stop(pid);
    close(null);
    return 0;
}
