#pragma once
// Helpers for tests that use the test rig's sound server: play a tone file into
// the null sink with paplay, record its monitor with arecord, and measure what
// was heard.
#include "TestSignals.h"
#include "platform/Clock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <sstream>
#include <functional>
#include <mutex>
#include <thread>
#include <string>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace SoundRig {

inline std::string TempPath(const std::string& name)
{
    return "/tmp/pellora-audio-test-" + std::to_string(::getpid()) + "-" + name;
}

// A WAV file of one note that sox renders: "sine", or "pluck" (a plucked
// string); it ends abruptly, without a fade.
inline std::string NoteFile(const std::string& sound, double frequency, double seconds, double volume = 0.5)
{
    const std::string path = TempPath(sound + "-" + std::to_string(int(frequency)) + ".wav");
    const std::string command = "sox -q -n -r 44100 -c 1 " + path + " synth " + std::to_string(seconds) + " " + sound
        + " " + std::to_string(frequency) + " vol " + std::to_string(volume);
    return std::system(command.c_str()) == 0 ? path : std::string();
}

// A WAV file with a sine of the given frequency (sox).
inline std::string ToneFile(double frequency, double seconds, double volume = 0.5)
{
    return NoteFile("sine", frequency, seconds, volume);
}

// Polls the condition every 10 ms until it holds or the time is up.
inline bool WaitFor(const std::function<bool()>& condition, int milliseconds)
{
    for (int waited = 0; waited < milliseconds; waited += 10) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

// Capture through the server's ALSA plugin takes up to two seconds to deliver
// its first block.
constexpr int CaptureStartMs = 5000;

// The most the window may be held by the sound server for one event, all its
// calls together: half a second. Deliberately not the adapter's own wait
// (Platform::WindowWaitMs), which is set below it: a test bounded by that
// would pass whatever it was set to.
constexpr Platform::Milliseconds WindowMayWaitMs = 500;

// Plays a file with paplay in the background; stops it when destroyed, so
// that nothing still sounds in the next test.
class Player {
public:
    explicit Player(const std::string& file)
    {
        char* const argv[] = {const_cast<char*>("paplay"), const_cast<char*>(file.c_str()), nullptr};
        if (::posix_spawnp(&pid_, "paplay", nullptr, nullptr, argv, environ) != 0)
            pid_ = -1;
    }
    ~Player()
    {
        if (pid_ > 0 && !finished_) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    bool Started() const { return pid_ > 0; }
    // True once the whole file was played and paplay has ended.
    bool Finished()
    {
        finished_ = finished_ || (pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == pid_);
        return finished_;
    }

private:
    pid_t pid_ = -1;
    bool finished_ = false;
};

// Records the default source (the null sink's monitor) for the given time.
inline std::vector<float> Record(double seconds)
{
    const std::string path = TempPath("rec.raw");
    const std::string command = "arecord -q -D default -f FLOAT_LE -c 1 -r 44100 -t raw -d "
        + std::to_string(int(std::ceil(seconds))) + " " + path;
    std::vector<float> samples;
    if (std::system(command.c_str()) != 0)
        return samples;
    std::ifstream in(path, std::ios::binary);
    float value = 0.0f;
    while (in.read(reinterpret_cast<char*>(&value), sizeof value))
        samples.push_back(value);
    std::remove(path.c_str());
    return samples;
}

// Records the default source (the null sink's monitor) with parec from its
// construction until Stop. Unlike Record, it is under way before a sound
// starts (WaitUntilRecording), so the sound is heard from its first sample;
// its short fragments leave next to nothing unwritten at Stop.
class Recorder {
public:
    Recorder()
        : path_(TempPath("parec-" + std::to_string(++Count()) + ".raw"))
    {
        char* const argv[] = {const_cast<char*>("parec"),
                              const_cast<char*>("--raw"),
                              const_cast<char*>("--format=float32le"),
                              const_cast<char*>("--rate=44100"),
                              const_cast<char*>("--channels=1"),
                              const_cast<char*>("--latency-msec=20"),
                              const_cast<char*>(path_.c_str()),
                              nullptr};
        if (::posix_spawnp(&pid_, "parec", nullptr, nullptr, argv, environ) != 0)
            pid_ = -1;
    }
    ~Recorder()
    {
        Stop();
        std::remove(path_.c_str());
    }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // True once the recording has delivered its first samples.
    bool WaitUntilRecording(int milliseconds = CaptureStartMs)
    {
        return pid_ > 0 && WaitFor([this] { return Size() > 0; }, milliseconds);
    }
    // Everything recorded so far.
    std::vector<float> Stop()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
        return SoFar();
    }
    // What was recorded until now; the recording goes on.
    std::vector<float> SoFar() const
    {
        std::vector<float> samples;
        std::ifstream in(path_, std::ios::binary);
        float value = 0.0f;
        while (in.read(reinterpret_cast<char*>(&value), sizeof value))
            samples.push_back(value);
        return samples;
    }

private:
    static int& Count()
    {
        static int count = 0;
        return count;
    }
    long Size() const
    {
        std::ifstream in(path_, std::ios::binary | std::ios::ate);
        return in ? long(in.tellg()) : 0;
    }

    std::string path_;
    pid_t pid_ = -1;
};

// Waits until nothing is heard from the server's sink: what a test before
// played may still end after its stop returned (its fade plays out).
inline bool WaitUntilSilent(int milliseconds = CaptureStartMs)
{
    Recorder recorder;
    return recorder.WaitUntilRecording(milliseconds) && WaitFor(
               [&] {
                   const std::vector<float> x = recorder.SoFar();
                   return x.size() >= 4410
                       && std::all_of(x.end() - 4410, x.end(), [](float v) { return std::fabs(v) <= 1e-4f; });
               },
               milliseconds);
}

// The rig's folder, found from its sound server's socket
// (DIR/pulse-runtime/native); empty outside the rig. A test that reaches the
// server another way keeps the socket's name in PELLORA_RIG_PULSE_SERVER.
inline std::string RigFolder()
{
    const char* kept = std::getenv("PELLORA_RIG_PULSE_SERVER");
    const char* server = kept ? kept : std::getenv("PULSE_SERVER");
    std::string path = server ? server : "";
    const std::string prefix = "unix:", suffix = "/pulse-runtime/native";
    if (path.compare(0, prefix.size(), prefix) != 0 || path.size() < prefix.size() + suffix.size()
        || path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
        return std::string();
    return path.substr(prefix.size(), path.size() - prefix.size() - suffix.size());
}

// Commands the test runs reach the rig's server directly, however the
// process itself reaches it.
inline std::string RigServerEnv()
{
    const char* kept = std::getenv("PELLORA_RIG_PULSE_SERVER");
    return kept ? "PULSE_SERVER=" + std::string(kept) + " " : std::string();
}

inline bool ServerAnswers()
{
    return std::system((RigServerEnv() + "pactl info >/dev/null 2>&1").c_str()) == 0;
}

// Stops the rig's sound server, as if it had crashed, and waits until it is gone.
inline bool StopServer()
{
    std::ifstream pidFile(RigFolder() + "/pulse.pid");
    pid_t pid = 0;
    if (!(pidFile >> pid) || pid <= 0 || ::kill(pid, SIGTERM) != 0)
        return false;
    return WaitFor([] { return !ServerAnswers(); }, 5000);
}

// Stops (SIGSTOP) or continues (SIGCONT) the rig's sound server: a server
// that hangs without going away.
inline bool SignalServer(int signal)
{
    std::ifstream pidFile(RigFolder() + "/pulse.pid");
    pid_t pid = 0;
    return (pidFile >> pid) && pid > 0 && ::kill(pid, signal) == 0;
}

// Holds the rig's sound server stopped, as a hung server is; lets it go on
// when it goes out of scope, or after the given time whatever the test does
// (a call that waits for the server then returns at last).
class HungServer {
public:
    explicit HungServer(std::chrono::seconds resumeAfter = std::chrono::minutes(1))
        : stopped_(SignalServer(SIGSTOP))
        , watchdog_([this, resumeAfter] {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!over_.wait_for(lock, resumeAfter, [this] { return resumed_; }))
                SignalServer(SIGCONT);
        })
    {
    }
    ~HungServer()
    {
        Resume();
        watchdog_.join();
    }
    HungServer(const HungServer&) = delete;
    HungServer& operator=(const HungServer&) = delete;
    bool Stopped() const { return stopped_; }
    void Resume()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!resumed_)
            SignalServer(SIGCONT);
        resumed_ = true;
        over_.notify_all();
    }

private:
    bool stopped_;
    std::mutex mutex_;
    std::condition_variable over_;
    bool resumed_ = false;
    std::thread watchdog_;
};

// The streams the rig's sound server records for its clients.
inline int CaptureStreams()
{
    FILE* list = ::popen("pactl list short source-outputs 2>/dev/null", "r");
    if (!list)
        return -1;
    int lines = 0;
    for (int c; (c = std::fgetc(list)) != EOF;)
        lines += c == '\n';
    return ::pclose(list) == 0 ? lines : -1;
}

// Starts the rig's sound server again, on the same socket.
inline bool StartServer()
{
    const std::string command = RigServerEnv() + "bash " PELLORA_SOURCE_DIR "/scripts/rig.sh pulse " + RigFolder();
    return std::system(command.c_str()) == 0 && ServerAnswers();
}

// What a test may change on the rig's sound server, and a server started
// again does not keep: its default sink and source, their volumes (raw, per
// channel) and mutes, and the modules it runs (its socket and the null sink
// among them).
struct ServerSettings {
    std::string defaultSink, defaultSource, sinkVolume, sinkMute, sourceVolume, sourceMute, modules;

    bool operator==(const ServerSettings& other) const { return Text() == other.Text(); }
    std::string Text() const
    {
        return "default sink " + defaultSink + ", default source " + defaultSource + ", sink volume " + sinkVolume
            + " mute " + sinkMute + ", source volume " + sourceVolume + " mute " + sourceMute + ", modules:\n"
            + modules;
    }
};

// What a command wrote to stdout; empty when it failed.
inline std::string Output(const std::string& command)
{
    FILE* out = ::popen((RigServerEnv() + command + " 2>/dev/null").c_str(), "r");
    if (!out)
        return std::string();
    std::string text;
    for (int c; (c = std::fgetc(out)) != EOF;)
        text += char(c);
    return ::pclose(out) == 0 ? text : std::string();
}

// The text after "Name: " on the line that starts with it.
inline std::string Field(const std::string& text, const std::string& name)
{
    const std::size_t at = text.find(name + ": ");
    if (at == std::string::npos)
        return std::string();
    const std::size_t from = at + name.size() + 2;
    return text.substr(from, text.find('\n', from) - from);
}

// The raw volumes of "Volume: front-left: 65536 / 100% / 0.00 dB, ...".
inline std::string RawVolumes(const std::string& text)
{
    std::string raw;
    for (std::size_t at = text.find(": "); at != std::string::npos; at = text.find(": ", at + 2)) {
        const std::size_t digits = text.find_first_not_of("0123456789", at + 2);
        if (digits != at + 2 && digits != std::string::npos && text.compare(digits, 3, " / ") == 0)
            raw += (raw.empty() ? "" : " ") + text.substr(at + 2, digits - at - 2);
    }
    return raw;
}

// The default sink's or source's volume is that percentage on every channel.
inline bool VolumeIs(const std::string& sinkOrSource, int percent)
{
    const std::string at = sinkOrSource == "sink" ? "@DEFAULT_SINK@" : "@DEFAULT_SOURCE@";
    const std::string text = Output("pactl get-" + sinkOrSource + "-volume " + at);
    const std::string wanted = " " + std::to_string(percent) + "% ";
    int found = 0, all = 0;
    for (std::size_t p = text.find("% "); p != std::string::npos; p = text.find("% ", p + 1)) {
        ++all;
        const std::size_t from = text.rfind(' ', p - 1);
        found += from != std::string::npos && text.compare(from, p + 2 - from, wanted) == 0;
    }
    return all > 0 && found == all;
}

inline ServerSettings ReadServerSettings()
{
    ServerSettings s;
    const std::string info = Output("pactl info");
    s.defaultSink = Field(info, "Default Sink");
    s.defaultSource = Field(info, "Default Source");
    s.sinkVolume = RawVolumes(Output("pactl get-sink-volume " + s.defaultSink));
    s.sinkMute = Field(Output("pactl get-sink-mute " + s.defaultSink), "Mute");
    s.sourceVolume = RawVolumes(Output("pactl get-source-volume " + s.defaultSource));
    s.sourceMute = Field(Output("pactl get-source-mute " + s.defaultSource), "Mute");
    // Module names and arguments; their numbers change with every start.
    std::istringstream modules(Output("pactl list short modules"));
    for (std::string line; std::getline(modules, line);)
        s.modules += line.substr(line.find('\t') + 1) + "\n";
    return s;
}

inline bool ServerStopped()
{
    std::ifstream pidFile(RigFolder() + "/pulse.pid");
    pid_t pid = 0;
    if (!(pidFile >> pid) || pid <= 0)
        return false;
    std::ifstream statFile("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    if (!std::getline(statFile, stat))
        return false;
    const std::size_t state = stat.rfind(") ");
    return state != std::string::npos && stat.compare(state + 2, 1, "T") == 0;
}

// Brings the rig's sound server back as a test found it: going on when it
// was stopped (SIGSTOP), started again when it is gone, with the settings a
// new server does not have. An empty result when it is so (or no server was
// found); else what differs.
inline std::string BringServerBack(const ServerSettings& found)
{
    if (found.defaultSink.empty())
        return std::string(); // no server of the rig's to bring back
    if (ServerStopped())
        SignalServer(SIGCONT);
    if (!WaitFor(ServerAnswers, 2000) && !StartServer())
        return "the sound server does not come back";
    ServerSettings now = ReadServerSettings();
    if (now == found)
        return std::string();
    const auto pactl = [](const std::string& arguments) {
        return std::system(("pactl " + arguments + " >/dev/null 2>&1").c_str()) == 0;
    };
    const auto mute = [](const std::string& state) { return state == "yes" ? " 1" : " 0"; };
    if (!pactl("set-default-sink " + found.defaultSink) || !pactl("set-default-source " + found.defaultSource)
        || !pactl("set-sink-volume " + found.defaultSink + " " + found.sinkVolume)
        || !pactl("set-sink-mute " + found.defaultSink + mute(found.sinkMute))
        || !pactl("set-source-volume " + found.defaultSource + " " + found.sourceVolume)
        || !pactl("set-source-mute " + found.defaultSource + mute(found.sourceMute)))
        return "the sound server's settings cannot be set back";
    now = ReadServerSettings();
    return now == found ? std::string()
                        : "the sound server was found with\n" + found.Text() + "\nand is left with\n" + now.Text();
}

using TestSignals::Rms;

// Power of one frequency (Goertzel) relative to the stretch's whole power.
inline double RelativePower(const std::vector<float>& x, std::size_t from, std::size_t to, double frequency)
{
    const double w = 2.0 * M_PI * frequency / 44100.0;
    const double coefficient = 2.0 * std::cos(w);
    double s1 = 0.0, s2 = 0.0, energy = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        const double s0 = x[i] + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
        energy += double(x[i]) * x[i];
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return energy > 0.0 ? power / (energy * double(to - from) / 2.0) : 0.0;
}

// Frequency from rising zero crossings (interpolated) over a stretch.
inline double ZeroCrossingFrequency(const std::vector<float>& x, std::size_t from, std::size_t to,
                                    double rate = 44100.0)
{
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
            const double at = double(i - 1) + x[i - 1] / double(x[i - 1] - x[i]);
            if (first < 0.0)
                first = at;
            else
                ++crossings;
            last = at;
        }
    }
    return crossings > 0 ? crossings * rate / (last - first) : 0.0;
}

// Frequency from the median spacing of rising zero crossings: one phase jump
// where the capture lost a few samples moves a single spacing, not the result.
inline double MedianCrossingFrequency(const std::vector<float>& x, std::size_t from, std::size_t to,
                                      double rate = 44100.0)
{
    std::vector<double> spacings;
    double previous = -1.0;
    for (std::size_t i = from + 1; i < to && i < x.size(); ++i) {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
            const double at = double(i - 1) + x[i - 1] / double(x[i - 1] - x[i]);
            if (previous >= 0.0)
                spacings.push_back(at - previous);
            previous = at;
        }
    }
    if (spacings.empty())
        return 0.0;
    std::nth_element(spacings.begin(), spacings.begin() + spacings.size() / 2, spacings.end());
    return rate / spacings[spacings.size() / 2];
}

// Start of the loudest stretch of the given length.
inline std::size_t Loudest(const std::vector<float>& x, std::size_t length)
{
    std::size_t best = 0;
    double bestRms = -1.0;
    for (std::size_t start = 0; start + length <= x.size(); start += length / 4) {
        const double r = Rms(x, start, start + length);
        if (r > bestRms) {
            bestRms = r;
            best = start;
        }
    }
    return best;
}

} // namespace SoundRig
