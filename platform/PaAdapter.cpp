#include "platform/PaAdapter.h"

#include "platform/Clock.h"
#include "platform/DiagnosticQueue.h"
#include "platform/Log.h"
#include "platform/SoundMessages.h"
#include "platform/SoundServerCalls.h"
#include "platform/SoundServerProbe.h"
#include "platform/WindowWaitBudget.h"

#include <dlfcn.h>
#include <pa_linux_alsa.h>
#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <pthread.h>
#include <sched.h>
#include <unistd.h>
#include <vector>

// PortAudio's hook for its own messages, which it otherwise writes to
// stderr. Only its static library offers it: the shared one keeps it hidden.
extern "C" void PaUtil_SetDebugPrintFunction(void (*print)(const char* text));

namespace Platform {
namespace Pa {

struct Stream {
    // Null when reopening it failed (see StartStream).
    PaStream* pa = nullptr;
    // What the library stream was opened with, to open it again.
    PaStreamParameters parameters{};
    double sampleRate = 0.0;
    // The library stream was started once: it is never started again.
    bool used = false;
    Callback callback = nullptr;
    void* userData = nullptr;
    bool input = false;
    int channels = 1;
    unsigned long framesPerBuffer = 0;
    // The host buffers asked for (0: HostFrames(framesPerBuffer)), and those
    // the library stream was opened with.
    unsigned long hostFrames = 0;
    unsigned long openedHostFrames = 0;
    // One callback's worth of samples; filled from (input) or played into
    // (output) the host buffers, which may be of any size.
    std::vector<float> buffer;
    unsigned long position = 0;
    bool loop = false;
    bool finishing = false;
    std::atomic<unsigned long long> frames{0};
    // Output: frames given but not yet heard.
    unsigned long long queuedFrames = 0;
    // Output: the silence still to be given before the callback's first
    // frame (see LeadFrames). Not counted in `frames`: the time played is
    // that of the callback's sound.
    unsigned long leadFrames = 0;
    // Output: a stop asked for the fade that ends the sound (see FadeOut);
    // the engine thread then counts the frames of the fade it has given, and
    // says when it has given it whole, and by which frame. From then on it
    // gives silence and calls nobody, and ends the stream once the fade has
    // been heard (see HostCallback).
    std::atomic<bool> fadeAsked{false};
    unsigned long fadeGiven = 0;
    std::atomic<bool> faded{false};
    unsigned long long fadedBy = 0;
    // Output: where the last sound given after a silence begins, and how
    // long that silence was, in frames of the callback's sound, as
    // (begin << 32) | silence; 0 for none (see NoteOnsets). The engine thread
    // counts the frames of silence that end what it gave.
    std::atomic<unsigned long long> lastOnset{0};
    unsigned long long quietRun = 0;
    // Output: when the engine thread gave the last host buffers (steady
    // clock, ns; 0 before the first) and how many frames they held, so that
    // the time played moves on between them. Buffers asked for in a burst
    // (a sound server that asks for several at a time) count as one. Written
    // with `frames` while `givenWriting` is odd, read again until it stayed
    // even and unchanged.
    std::atomic<unsigned> givenWriting{0};
    std::atomic<long long> givenAtNs{0};
    std::atomic<unsigned long> givenFrames{0};
    // Engine thread: when it was last called.
    long long calledAtNs = 0;
    // Set on the engine thread when a callback threw; reported on the GUI thread.
    std::atomic<bool> failed{false};
    // The library ended the stream (set by its finished callback), and whether
    // our own callback asked for that.
    std::atomic<bool> ended{false};
    std::atomic<bool> endedByCallback{false};
    // GUI thread: started and not stopped since; the frame count seen last
    // and when it last moved.
    bool running = false;
    unsigned long long progressFrames = 0;
    Milliseconds progressAt = 0;
    // The CPU clock of the library's thread that runs the stream (set by
    // that thread at its first call), and its reading when the frames last
    // moved and when the stream was left.
    std::atomic<bool> threadClockSet{false};
    std::atomic<clockid_t> threadClock{0};
    double progressCpuMs = 0.0;
    double abandonedCpuMs = 0.0;
    // GUI thread: left to the library, which could not end it.
    bool abandoned = false;
    // Set when the stream is left behind: should the library call it again,
    // it plays silence and ends instead of feeding what a newer stream feeds.
    std::atomic<bool> cutOff{false};
    // The library is inside our callback.
    std::atomic<bool> calling{false};
    // GUI thread: left and closed by its owner, so freed here once it ends.
    bool released = false;
    // GUI thread: stopped by its fade, which still plays out (see Drain):
    // its library stream is stopped on the call thread before anything else
    // is done with it there, and so before any stream opened after it.
    bool draining = false;
    // GUI thread: when it was left, its thread waited (for a server that
    // does not answer) rather than spun (on one that went away).
    bool waiting = false;
    // GUI thread: a call on it did not return in time and goes on (or is
    // queued) on the call thread, which owns the library stream from then
    // on: it is never started again, only closed.
    bool givenUp = false;
};

namespace {

DiagnosticQueue& diagnostics = SoundMessages();

// The thread that initialised the library (the GUI thread).
pthread_t initialisingThread;

// PortAudio's ALSA host (v19.6) has a check that, once failed, it makes again
// for ever: when its wait for frames finds frames but neither direction ready
// (the sound server went away as the stream started), it reports the failed
// check and goes back to it, using a whole core for as long as the program
// runs. The stream's thread never ends, so the stream could only be left to
// the library as stalled. The report comes on that thread; ending the thread
// there is what the library does on any other failure of its stream: its exit
// handler stops the device and reports the stream finished, a lost stream.
bool ThreadFailsForEver(const char* text)
{
    return std::strstr(text, "'self->capture.ready || self->playback.ready' failed") != nullptr
        && !pthread_equal(pthread_self(), initialisingThread) && !SoundServerCalls().OnCallThread();
}

void PortAudioMessageToLog(const char* text)
{
    char message[DiagnosticQueue::TextLength];
    // The library ends its lines; the log ends them itself.
    std::snprintf(message, sizeof message, "PortAudio: %.*s", int(std::strcspn(text, "\n")), text);
    diagnostics.Post(message);
    if (ThreadFailsForEver(text)) {
        diagnostics.Post("audio: the sound library's thread for a stream failed for good; it is ended");
        pthread_exit(nullptr);
    }
}

void JackMessageToLog(const char* text)
{
    char message[DiagnosticQueue::TextLength];
    std::snprintf(message, sizeof message, "JACK: %s", text);
    diagnostics.Post(message);
}

// JACK is reached through PortAudio and ALSA's plugin, never linked by us:
// its hooks are set only when the library is loaded.
void RouteJackMessages()
{
    using SetHook = void (*)(void (*)(const char*));
    for (const char* name : {"jack_set_error_function", "jack_set_info_function"})
        if (auto set = reinterpret_cast<SetHook>(::dlsym(RTLD_DEFAULT, name)))
            set(&JackMessageToLog);
}

// A sound server delivers in real time, so a stall is timed by the steady
// clock rather than by the program's clock, which tests replace to drive
// animations and timers: a jump of that clock left a healthy capture stream
// for dead, and no stream opened after it.
Milliseconds ServerTimeMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Streams left to the library (see Abandon), GUI thread only: the library
// is not terminated while one is left, since it would wait for it.
std::vector<Stream*> abandonedStreams;
// Logged once for each stretch of time the server does not answer.
bool refusalLogged = false;

// Passes what the hooks posted to the log when it goes out of scope.
struct FlushDiagnostics {
    ~FlushDiagnostics() { diagnostics.Flush(); }
};

int CaptureCallback(Stream& s, const float* in, unsigned long count, double time)
{
    const unsigned long perBuffer = s.framesPerBuffer * s.channels;
    unsigned long done = 0;
    while (done < count * s.channels) {
        const unsigned long take = std::min(perBuffer - s.position, count * s.channels - done);
        if (in)
            std::memcpy(s.buffer.data() + s.position, in + done, take * sizeof(float));
        else
            std::fill_n(s.buffer.data() + s.position, take, 0.0f);
        s.position += take;
        done += take;
        if (s.position == perBuffer) {
            s.position = 0;
            if (s.callback(s.buffer.data(), nullptr, s.framesPerBuffer, time, s.userData) != 0)
                return paComplete;
        }
    }
    return paContinue;
}

int PlaybackCallback(Stream& s, float* out, unsigned long count, double time)
{
    const unsigned long perBuffer = s.framesPerBuffer * s.channels;
    unsigned long done = 0;
    while (done < count * s.channels) {
        if (s.position == perBuffer) {
            if (s.finishing) {
                std::fill(out + done, out + count * s.channels, 0.0f);
                return paComplete;
            }
            s.position = 0;
            if (!s.loop) {
                std::fill(s.buffer.begin(), s.buffer.end(), 0.0f);
                const double when = time + double(done / s.channels);
                if (s.callback(nullptr, s.buffer.data(), s.framesPerBuffer, when, s.userData) != 0)
                    s.finishing = true;
            }
        }
        const unsigned long take = std::min(perBuffer - s.position, count * s.channels - done);
        std::memcpy(out + done, s.buffer.data() + s.position, take * sizeof(float));
        s.position += take;
        done += take;
    }
    return paContinue;
}

// Output: gives the host what is left of the silence that starts the
// stream; output and count are then what remains for the callback's sound.
void GiveLead(Stream& s, void*& output, unsigned long& count)
{
    const unsigned long lead = std::min(s.leadFrames, count);
    std::fill_n(static_cast<float*>(output), lead * s.channels, 0.0f);
    s.leadFrames -= lead;
    output = static_cast<float*>(output) + lead * s.channels;
    count -= lead;
}

// Output: the frames over which a stop fades the sound to silence, so that
// it ends without a step: a few milliseconds.
unsigned long FadeFrames(const Stream& s)
{
    return static_cast<unsigned long>(s.sampleRate * 0.005);
}

// Output, once a stop asked for it: scales what the callback gave down to
// silence over FadeFrames and gives silence after it. True once the fade is
// whole.
bool FadeOut(Stream& s, float* out, unsigned long count)
{
    const unsigned long length = FadeFrames(s);
    for (unsigned long i = 0; i < count; ++i) {
        const float gain = s.fadeGiven < length ? float(length - s.fadeGiven) / float(length) : 0.0f;
        for (int c = 0; c < s.channels; ++c)
            out[i * s.channels + c] *= gain;
        if (s.fadeGiven < length)
            ++s.fadeGiven;
    }
    return s.fadeGiven >= length;
}

// Below this a sample is silence: -80 dB, under what is heard.
constexpr float QuietLevel = 1e-4f;

// Output, engine thread: notes where a sound begins after a millisecond of
// silence or more (a click after the quiet between two), and how long that
// silence was, for a stop (see SoundQueuedAfterSilence). first: the frame of
// the callback's sound that out begins with.
void NoteOnsets(Stream& s, const float* out, unsigned long count, unsigned long long first)
{
    const auto leastQuiet = static_cast<unsigned long long>(s.sampleRate * 0.001);
    for (unsigned long i = 0; i < count; ++i) {
        bool sound = false;
        for (int c = 0; c < s.channels; ++c)
            sound = sound || std::fabs(out[i * s.channels + c]) > QuietLevel;
        if (!sound) {
            ++s.quietRun;
            continue;
        }
        const unsigned long long at = first + i;
        // The silence before the start counts from the start.
        const unsigned long long quiet = std::min(s.quietRun, at);
        if (s.quietRun >= leastQuiet && at <= 0xFFFFFFFFULL)
            s.lastOnset.store(at << 32 | std::min(quiet, 0xFFFFFFFFULL), std::memory_order_release);
        s.quietRun = 0;
    }
}

long long SteadyNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

int HostCallback(const void* input, void* output, unsigned long count, const PaStreamCallbackTimeInfo*,
                 PaStreamCallbackFlags, void* userData)
{
    Stream& s = *static_cast<Stream*>(userData);
    s.calling.store(true);
    if (!s.threadClockSet.load(std::memory_order_relaxed)) {
        clockid_t clock;
        if (pthread_getcpuclockid(pthread_self(), &clock) == 0) {
            s.threadClock.store(clock);
            s.threadClockSet.store(true);
        }
    }
    if (s.cutOff.load()) {
        if (output)
            std::fill_n(static_cast<float*>(output), count * s.channels, 0.0f);
        s.calling.store(false);
        return paAbort;
    }
    const bool fading = !s.input && s.fadeAsked.load(std::memory_order_acquire);
    if (fading && (s.leadFrames > 0 || s.faded.load(std::memory_order_relaxed))) {
        // Nothing was heard yet, or the fade was given whole: silence, and
        // once the fade has been heard (what was queued after it, and a host
        // buffer more, has been given) the stream ends, dropping what is
        // queued: silence.
        std::fill_n(static_cast<float*>(output), count * s.channels, 0.0f);
        const unsigned long long given = s.frames.fetch_add(count, std::memory_order_relaxed) + count;
        const bool heard = s.leadFrames > 0 || given >= s.fadedBy + s.queuedFrames + s.openedHostFrames;
        s.faded.store(true, std::memory_order_release);
        if (heard)
            s.endedByCallback.store(true);
        s.calling.store(false);
        return heard ? paAbort : paContinue;
    }
    if (!s.input && s.leadFrames > 0) {
        GiveLead(s, output, count);
        if (count == 0) {
            s.calling.store(false);
            return paContinue;
        }
    }
    const double time = double(s.frames.load(std::memory_order_relaxed));
    if (s.input) {
        s.frames.fetch_add(count, std::memory_order_relaxed);
    } else {
        const unsigned writing = s.givenWriting.load(std::memory_order_relaxed);
        s.givenWriting.store(writing + 1, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
        s.frames.fetch_add(count, std::memory_order_relaxed);
        // Within a quarter of a buffer's sound of the last call: the same burst.
        const long long now = SteadyNs();
        const long long givenAt = s.givenAtNs.load(std::memory_order_relaxed);
        if (givenAt != 0 && double(now - s.calledAtNs) < 0.25e9 * double(count) / s.sampleRate) {
            s.givenFrames.store(s.givenFrames.load(std::memory_order_relaxed) + count, std::memory_order_relaxed);
        } else {
            s.givenAtNs.store(now, std::memory_order_relaxed);
            s.givenFrames.store(count, std::memory_order_relaxed);
        }
        s.calledAtNs = now;
        s.givenWriting.store(writing + 2, std::memory_order_release);
    }
    // Nothing may unwind into the library's C code.
    int result = paAbort;
    try {
        result = s.input ? CaptureCallback(s, static_cast<const float*>(input), count, time)
                         : PlaybackCallback(s, static_cast<float*>(output), count, time);
    } catch (...) {
        s.failed.store(true);
        if (output)
            std::fill_n(static_cast<float*>(output), count * s.channels, 0.0f);
    }
    if (!s.input && !fading && result == paContinue)
        NoteOnsets(s, static_cast<const float*>(output), count, static_cast<unsigned long long>(time));
    if (fading && result != paAbort && FadeOut(s, static_cast<float*>(output), count)) {
        s.fadedBy = static_cast<unsigned long long>(time) + count;
        s.faded.store(true, std::memory_order_release);
    }
    if (result != paContinue)
        s.endedByCallback.store(true);
    s.calling.store(false);
    return result;
}

void StreamFinished(void* userData)
{
    static_cast<Stream*>(userData)->ended.store(true);
}

void ReportFailure(Stream& s)
{
    if (s.failed.exchange(false))
        Log("audio: a stream callback failed with an exception; the stream was stopped");
}

// Raises the calling thread to real-time priority, where the system grants
// it, until it goes out of scope. The sound library's client threads made
// meanwhile (by opening a stream through the sound server's plugin) inherit
// it, so a loaded machine cannot keep them from handing the sound on.
class RealTimeWhileOpening {
public:
    RealTimeWhileOpening()
    {
        sched_param realTime{};
        realTime.sched_priority = 1;
        raised_ = pthread_getschedparam(pthread_self(), &policy_, &param_) == 0
            && pthread_setschedparam(pthread_self(), SCHED_FIFO, &realTime) == 0;
    }
    ~RealTimeWhileOpening()
    {
        if (raised_)
            pthread_setschedparam(pthread_self(), policy_, &param_);
    }
    RealTimeWhileOpening(const RealTimeWhileOpening&) = delete;
    RealTimeWhileOpening& operator=(const RealTimeWhileOpening&) = delete;

private:
    int policy_ = SCHED_OTHER;
    sched_param param_{};
    bool raised_ = false;
};

} // namespace

unsigned long HostFrames(unsigned long framesPerBuffer)
{
    return framesPerBuffer <= 4096 ? framesPerBuffer : 1024;
}

namespace {

unsigned long WantedHostFrames(const Stream& s)
{
    return s.hostFrames ? s.hostFrames : HostFrames(s.framesPerBuffer);
}

// The most a sound server has mixed ahead of the device, beyond what it can
// take back, when a stream joins: 20 ms. The rig's server, alone or beside
// another stream, loses 4.5 ms of a stream begun without silence, whether
// the stream queues 50 or 200 ms: what is lost follows the server, not the
// latency the stream asks for.
unsigned long ServerMixAheadFrames(const Stream& s)
{
    return static_cast<unsigned long>(s.sampleRate * 0.02);
}

// Output: the silence a start gives the host before the callback's sound. A
// sound server makes a new stream heard at once by mixing again, with the
// stream's first frames, what it had already mixed ahead of the device
// (PulseAudio's rewind). What of the old mix had already left, to a monitor
// of the sink or a device that cannot take it back, stays: there a stream
// that began with its sound was heard from some way in, and the first click
// of every PLAY lost its first 5 ms and began with a step. The silence covers
// that, and no more than the stream queues: each frame of it is heard as a
// delay after the press.
unsigned long LeadFrames(const Stream& s)
{
    return std::min(static_cast<unsigned long>(s.queuedFrames), ServerMixAheadFrames(s));
}

// CPU time the stream's library thread has used; -1 when not known.
double ThreadCpuMs(const Stream& s)
{
    timespec used{};
    if (!s.threadClockSet.load() || clock_gettime(s.threadClock.load(), &used) != 0)
        return -1.0;
    return double(used.tv_sec) * 1000.0 + double(used.tv_nsec) / 1e6;
}

// A thread that spins on a server gone away uses the processor all along; one
// that waits for a stopped server uses next to none.
constexpr double SpinningCpuMs = 500.0;

// Waits until the condition holds, for at most that many frames of the
// stream's sound and 50 ms more, and never past the deadline (steady ms).
bool WaitForFrames(const Stream& s, double frames, Milliseconds deadline, const std::function<bool()>& condition)
{
    const long long until = std::min(SteadyNs() + 50000000LL + static_cast<long long>(frames / s.sampleRate * 1e9),
                                     static_cast<long long>(deadline) * 1000000LL);
    while (!condition() && SteadyNs() < until)
        ::usleep(1000);
    return condition();
}

// Call thread: closes the library stream and frees ours; the library's result.
// A stream the library could not close may still call back into ours: it is
// kept, with the process, where it stays known rather than dropped.
int CloseAndFree(Stream& s)
{
    // Never destroyed: the call thread may still close a stream at exit.
    static auto* const keptByTheLibrary = new std::vector<Stream*>;
    const int result = s.pa ? Pa_CloseStream(s.pa) : paNoError;
    if (result == paNoError) {
        delete &s;
    } else {
        keptByTheLibrary->push_back(&s);
        diagnostics.Post(("audio: closing a stream failed: " + std::string(Pa_GetErrorText(result))).c_str());
    }
    return result;
}

// Call thread: a stream stopped by its fade ends once the fade has been
// heard (the queue and two host buffers at most, and 50 ms for the switches
// of a loaded machine); its library stream is then stopped, so that closing
// it, or opening it anew, drops nothing that is still to be heard. One that
// has not ended by then (its server hangs) is left for the close, which
// drops what it still holds.
void Drain(Stream& s)
{
    constexpr Milliseconds NoDeadline = std::numeric_limits<Milliseconds>::max() / 1000000;
    const auto ended = [&s] { return s.ended.load(); };
    if (s.pa && WaitForFrames(s, double(s.queuedFrames + 2 * s.openedHostFrames), NoDeadline, ended))
        Pa_StopStream(s.pa);
}

// GUI thread: from now on the library's calls into the stream play silence
// and end it, so that it never runs beside the stream that replaces it. A
// call under way is a few milliseconds at most, and is waited for; one that
// does not end is not.
void CutOff(Stream& s)
{
    s.cutOff.store(true);
    for (int waited = 0; waited < 200 && s.calling.load(); ++waited)
        ::usleep(1000);
}

// GUI thread: the call did not return in time; from now on the stream is the
// call thread's.
void GiveUp(Stream& s, const char* what)
{
    s.givenUp = true;
    s.running = false;
    CutOff(s);
    Log(std::string("audio: the sound server did not answer ") + what + " within its time; the stream is given up");
}

// GUI thread: runs a call on the stream's library stream that may wait on
// the server, for at most boundMs; false (the stream given up) when it did
// not return in time. With the call thread held by another call, nothing
// would return: the call is only queued, and the stream given up at once.
bool RunBounded(Stream& s, std::function<void()> call, Milliseconds boundMs, const char* what)
{
    if (SoundServerCalls().Stuck()) {
        SoundServerCalls().Post(std::move(call));
        GiveUp(s, what);
        return false;
    }
    if (SoundServerCalls().Run(std::move(call), boundMs))
        return true;
    GiveUp(s, what);
    return false;
}

// Frees the streams left to the library whose threads have come back and
// ended. True while one is still held: its sound server stopped answering
// (it may be stopped, not gone), and opening a stream on it would wait for
// it as long.
bool ServerHeld()
{
    bool held = false;
    for (auto it = abandonedStreams.begin(); it != abandonedStreams.end();) {
        Stream* left = *it;
        if (!left->ended.load()) {
            // A thread that waited may spin since (its server went away meanwhile).
            const double cpu = ThreadCpuMs(*left);
            if (left->waiting && (cpu < 0.0 || cpu - left->abandonedCpuMs >= SpinningCpuMs))
                left->waiting = false;
            held = held || left->waiting;
            ++it;
            continue;
        }
        // One its owner still holds is closed when the owner closes it.
        if (left->released)
            SoundServerCalls().Post([left] { CloseAndFree(*left); });
        it = abandonedStreams.erase(it);
        Log("audio: a stream left to the library came back and has ended");
    }
    held = held || SoundServerCalls().Stuck();
    if (!held)
        refusalLogged = false;
    return held;
}

// True (logged once a stretch) when the sound server holds a stream or a
// call that does not come back: opening or starting a stream on it would
// wait as long.
bool RefusedWhileHeld()
{
    if (!ServerHeld())
        return false;
    if (!refusalLogged)
        Log("audio: the sound server does not answer a stream or a call; no stream is opened or started until it "
            "answers again");
    refusalLogged = true;
    return true;
}

// One question at a time: each looks for the server anew, so a server named
// otherwise meanwhile (tests point the process at another one) is followed.
SoundServerProbe& Probe()
{
    static SoundServerProbe probe;
    return probe;
}

// The time left of a call's share of the window's wait (below).
Milliseconds Left(Milliseconds deadline)
{
    return std::max<Milliseconds>(0, deadline - ServerTimeMs());
}

// One call's share of the window's wait: whatever it waits for on the
// server (an open or a start, the check before it included) waits until
// one deadline, set by what the event being handled has left of the
// window's wait (WindowWaitBudget), and is counted against that when it
// returns.
struct WindowWait {
    const Milliseconds began = ServerTimeMs();
    const Milliseconds deadline = began + WindowWaitBudget::Left();
    WindowWait() = default;
    WindowWait(const WindowWait&) = delete;
    WindowWait& operator=(const WindowWait&) = delete;
    ~WindowWait() { WindowWaitBudget::Spend(ServerTimeMs() - began); }
    // Nothing is begun once the event has waited its share: the server, slow
    // or stopped, would hold the window longer.
    bool Spent() const
    {
        if (deadline > began)
            return false;
        Log("audio: the window has waited its time on the sound server for this event; nothing more is asked of it");
        return true;
    }
};

// An open on a server that does not answer waits for it until the sound
// server's plugin gives up (30 s), and the library's ALSA host then fails an
// assertion on the device it got and ends the process. So no open is begun on
// a server that has not just answered a question of ours: true when it has
// not answered within what is left before the deadline.
bool SilentBeforeOpening(Milliseconds deadline)
{
    if (ServerAnswers(Left(deadline)))
        return false;
    Log("audio: the sound server does not answer; no stream is opened on it until it does");
    return true;
}

// Call thread: the library's own result; s.pa stays null when it failed.
int OpenLibraryStream(Stream& s)
{
    s.pa = nullptr;
    s.used = false;
    std::optional<RealTimeWhileOpening> realTime;
    if (!s.input)
        realTime.emplace();
    const unsigned long hostFrames = WantedHostFrames(s);
    const int result = Pa_OpenStream(&s.pa, s.input ? &s.parameters : nullptr, s.input ? nullptr : &s.parameters,
                                     s.sampleRate, hostFrames, paNoFlag, &HostCallback, &s);
    realTime.reset();
    s.openedHostFrames = result == paNoError ? hostFrames : 0;
    if (result != paNoError) {
        s.pa = nullptr;
        // The library's ALSA host says this of any device it cannot open (no
        // sound server, say); our streams never combine input and output.
        return result == paBadIODeviceCombination ? paDeviceUnavailable : result;
    }
    Pa_SetStreamFinishedCallback(s.pa, &StreamFinished);
    if (!s.input) {
        // A loaded machine would otherwise starve the play-back thread. ALSA's
        // thread asks for the priority when it starts and runs on without it.
        // (Capture stays as it is: with it, a restarted capture stream's
        // callbacks were seen to overlap the old one's.)
        const PaDeviceInfo* device = Pa_GetDeviceInfo(s.parameters.device);
        const PaHostApiInfo* host = device ? Pa_GetHostApiInfo(device->hostApi) : nullptr;
        if (host && host->type == paALSA)
            PaAlsa_EnableRealtimeScheduling(s.pa, 1);
        if (const PaStreamInfo* opened = Pa_GetStreamInfo(s.pa))
            s.queuedFrames = static_cast<unsigned long long>(opened->outputLatency * s.sampleRate + 0.5);
    }
    return paNoError;
}

} // namespace

int Initialize()
{
    FlushDiagnostics flush;
    initialisingThread = pthread_self();
    RouteAlsaMessages();
    PaUtil_SetDebugPrintFunction(&PortAudioMessageToLog);
    RouteJackMessages();
    // The library looks at every device, the sound server's among them.
    auto result = std::make_shared<int>(paNoError);
    const auto initialise = [result] { *result = Pa_Initialize(); };
    if (SoundServerCalls().Stuck()) {
        SoundServerCalls().Post(initialise);
        return TimedOut;
    }
    if (!SoundServerCalls().Run(initialise, StartUpWithinMs))
        return TimedOut;
    return FromLibrary(*result);
}

bool ServerAnswers(Milliseconds waitMs)
{
    return Probe().Ask(waitMs) != SoundServerProbe::Reply::Silent;
}

int Terminate()
{
    FlushDiagnostics flush;
    // The library would wait for what is left, or held, on the call thread.
    if (!abandonedStreams.empty() || SoundServerCalls().Stuck())
        return NoError;
    auto result = std::make_shared<int>(paNoError);
    if (!SoundServerCalls().Run([result] { *result = Pa_Terminate(); }, WindowWaitMs))
        return NoError;
    return FromLibrary(*result);
}

int OpenDefaultStream(Stream** stream, int inChannels, int outChannels, unsigned long sampleFormat, double sampleRate,
                      unsigned long framesPerBuffer, unsigned long numberOfBuffers, Callback callback,
                      void* userData, unsigned long hostFrames)
{
    FlushDiagnostics flush;
    if (!stream)
        return BadStreamPointer;
    *stream = nullptr;
    if (!callback)
        return NullCallback;
    if (sampleFormat != Float32)
        return SampleFormatNotSupported;
    const bool input = inChannels > 0;
    const int channels = input ? inChannels : outChannels;
    if (channels <= 0 || (input && outChannels > 0))
        return InvalidChannelCount;
    if (framesPerBuffer == 0)
        return BufferTooSmall;
    const WindowWait wait;
    if (RefusedWhileHeld())
        return DeviceUnavailable;
    if (wait.Spent() || SilentBeforeOpening(wait.deadline))
        return TimedOut;

    auto* s = new Stream;
    s->sampleRate = sampleRate;
    s->callback = callback;
    s->userData = userData;
    s->input = input;
    s->channels = channels;
    s->framesPerBuffer = framesPerBuffer;
    s->hostFrames = hostFrames;
    s->buffer.assign(framesPerBuffer * channels, 0.0f);
    // Opening connects to the sound server. The stream is the call's until
    // it returns; when it is given up, it is closed and freed after it.
    auto result = std::make_shared<int>(paNoError);
    const auto open = [s, result, input, numberOfBuffers] {
        const PaDeviceIndex device = input ? Pa_GetDefaultInputDevice() : Pa_GetDefaultOutputDevice();
        if (device == paNoDevice) {
            *result = paDeviceUnavailable;
            return;
        }
        const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
        s->parameters.device = device;
        s->parameters.channelCount = s->channels;
        s->parameters.sampleFormat = paFloat32;
        s->parameters.suggestedLatency = input ? info->defaultHighInputLatency : info->defaultHighOutputLatency;
        if (!input)
            s->parameters.suggestedLatency
                = std::max(s->parameters.suggestedLatency,
                           double(numberOfBuffers * HostFrames(s->framesPerBuffer)) / s->sampleRate);
        *result = OpenLibraryStream(*s);
    };
    if (!SoundServerCalls().Run(open, Left(wait.deadline), [s] { CloseAndFree(*s); })) {
        Log("audio: the sound server did not answer the opening of a stream within its time; it is given up");
        return TimedOut;
    }
    if (*result != paNoError) {
        delete s;
        return FromLibrary(*result);
    }
    *stream = s;
    return NoError;
}

namespace {

// A library stream whose sound server went away, even one that has come back
// since, cannot start again: its engine thread fails to prepare the device
// and ends still holding the lock that the starting thread then waits for,
// for ever. So every start after the first one runs on a library stream
// opened anew, with the same parameters. Call thread; drain: the stream was
// stopped by its fade, which is heard first.
int Reopen(Stream& s, bool drain)
{
    if (drain)
        Drain(s);
    if (s.pa) {
        const int closed = Pa_CloseStream(s.pa);
        if (closed != paNoError)
            return closed;
        s.pa = nullptr;
    }
    return OpenLibraryStream(s);
}

} // namespace

int StartStream(Stream* s, bool loop)
{
    FlushDiagnostics flush;
    if (!s)
        return BadStreamPointer;
    const WindowWait wait;
    if (s->abandoned || s->givenUp || RefusedWhileHeld())
        return DeviceUnavailable;
    // One still draining was started, so it is opened anew (below), once drained.
    if (!s->draining && s->pa && Pa_IsStreamStopped(s->pa) != 1)
        return FromLibrary(paStreamIsNotStopped);
    if (wait.Spent())
        return TimedOut;
    auto result = std::make_shared<int>(paNoError);
    if (s->used || !s->pa || s->openedHostFrames != WantedHostFrames(*s)) {
        if (SilentBeforeOpening(wait.deadline))
            return TimedOut;
        const bool drain = s->draining;
        s->draining = false;
        if (!RunBounded(
                *s, [s, result, drain] { *result = Reopen(*s, drain); }, Left(wait.deadline),
                "the opening of a stream"))
            return TimedOut;
        if (*result != paNoError)
            return FromLibrary(*result);
    }
    s->frames.store(0);
    s->givenAtNs.store(0);
    s->finishing = false;
    s->ended.store(false);
    s->endedByCallback.store(false);
    s->loop = loop && !s->input;
    if (s->input) {
        s->position = 0;
    } else if (s->loop) {
        std::fill(s->buffer.begin(), s->buffer.end(), 0.0f);
        s->callback(nullptr, s->buffer.data(), s->framesPerBuffer, 0.0, s->userData);
        s->position = 0;
    } else {
        s->position = s->buffer.size();
    }
    s->leadFrames = s->input ? 0 : LeadFrames(*s);
    s->fadeAsked.store(false);
    s->faded.store(false);
    s->lastOnset.store(0);
    // Before its first sound a stream has been quiet as long as it likes:
    // its first click is an onset too (NoteOnsets counts it from the start).
    s->quietRun = std::numeric_limits<unsigned long long>::max() / 2;
    s->used = true;
    // The library runs a started stream on a thread of its own.
    s->threadClockSet.store(false);
    s->progressCpuMs = 0.0;
    if (!RunBounded(
            *s, [s, result] { *result = Pa_StartStream(s->pa); }, Left(wait.deadline), "the start of a stream"))
        return TimedOut;
    s->running = *result == paNoError;
    s->progressFrames = 0;
    s->progressAt = ServerTimeMs();
    return FromLibrary(*result);
}

int SetHostFrames(Stream* s, unsigned long frames)
{
    if (!s)
        return BadStreamPointer;
    // A stream given up never starts again.
    if (!s->givenUp)
        s->hostFrames = frames;
    return NoError;
}

namespace {

// A running stream whose frames have not moved for this long is dead even
// when the library still calls it active (it can spin on a lost server).
constexpr Milliseconds StallMs = 5000;

bool Stalled(Stream& s)
{
    const unsigned long long frames = s.frames.load();
    const Milliseconds now = ServerTimeMs();
    if (frames != s.progressFrames) {
        s.progressFrames = frames;
        s.progressAt = now;
        s.progressCpuMs = ThreadCpuMs(s);
        return false;
    }
    return now - s.progressAt >= StallMs;
}

// Stopping or closing a stalled stream that the library still runs would
// wait for its thread for ever: it is left behind (never freed) instead.
bool Abandon(Stream& s)
{
    if (s.abandoned)
        return true;
    if (!s.running || s.ended.load() || Pa_IsStreamActive(s.pa) != 1 || !Stalled(s))
        return false;
    s.abandoned = true;
    s.abandonedCpuMs = ThreadCpuMs(s);
    s.waiting = s.abandonedCpuMs >= 0.0 && s.abandonedCpuMs - s.progressCpuMs < SpinningCpuMs;
    s.running = false;
    abandonedStreams.push_back(&s);
    // A stream only thought stalled (its thread was starved, say) may still
    // be called.
    CutOff(s);
    Log("audio: a stream that stopped delivering cannot be stopped; it is left to the library");
    return true;
}

// Stopping a stream that is not running is harmless in the interface we offer.
int StoppedIsFine(int result)
{
    return result == paStreamIsStopped ? NoError : FromLibrary(result);
}

} // namespace

namespace {

// Output: a stop ends the sound on silence rather than where it stands (a
// step heard as a click): the engine thread fades it out over a few
// milliseconds, gives silence after it, and ends the stream itself once the
// fade has been heard, dropping only silence. The window's thread waits only
// until the fade was given (a host buffer at most): from then on nothing
// calls the stream's callable, and what is queued plays out without it,
// waited for by nobody. True when the fade was given;
// false for a stream that does not deliver (nothing is waited for) or one
// whose fade did not come in two host buffers' time or by the deadline.
bool FadeGiven(Stream& s, Milliseconds deadline)
{
    if (s.input || !s.running || s.ended.load() || s.cutOff.load() || StalledFor(&s) > 100)
        return false;
    s.fadeGiven = 0;
    s.faded.store(false);
    s.fadeAsked.store(true, std::memory_order_release);
    return WaitForFrames(s, 2.0 * double(s.openedHostFrames + FadeFrames(s)), deadline,
                         [&s] { return s.faded.load(std::memory_order_acquire); });
}

// Output: true when what is heard now is silence and a new sound (the next
// click) begins later in what is queued, far enough ahead for a drop of the
// queue to reach the server first (past what the server has mixed ahead):
// a stop then drops the queue at once, and nothing of that sound is heard,
// where a fade at the queue's end would let it begin and then cut it. What
// is dropped is silence up to it, so the sound ends on silence all the same.
bool SoundQueuedAfterSilence(Stream& s)
{
    if (s.input || !s.running || s.ended.load() || s.cutOff.load() || StalledFor(&s) > 100)
        return false;
    const unsigned long long onset = s.lastOnset.load(std::memory_order_acquire);
    const double begins = double(onset >> 32);
    const double quietFrom = begins - double(onset & 0xFFFFFFFFULL);
    const double played = StreamTime(&s);
    // What the time played may be off by.
    const double guard = s.sampleRate * 0.005;
    return onset != 0 && played >= quietFrom + guard && begins > played + double(ServerMixAheadFrames(s)) + 2.0 * guard;
}

// Stopping waits for the stream's thread, and the sound server's plugin for
// the server. A stream given up is stopped after the call it waits for, and
// the stop reports success: nothing of ours plays or is captured any more.
int StopOrAbort(Stream* s, bool abort)
{
    FlushDiagnostics flush;
    if (!s)
        return BadStreamPointer;
    ReportFailure(*s);
    // Its fade plays out, and the library ends it.
    if (s->draining)
        return NoError;
    // A capture stops once its next buffer has come, and the server's plugin
    // may take two seconds to give the first: one that has given nothing yet
    // has nothing to finish, and is dropped at once instead.
    const bool drop = abort || (s->input && s->frames.load() == 0);
    auto result = std::make_shared<int>(paNoError);
    const auto stop = [s, drop, result] { *result = drop ? Pa_AbortStream(s->pa) : Pa_StopStream(s->pa); };
    if (s->givenUp) {
        SoundServerCalls().Post(stop);
        return NoError;
    }
    if (Abandon(*s))
        return NoError;
    const WindowWait wait;
    if (SoundQueuedAfterSilence(*s)) {
        s->running = false;
        const auto dropNow = [s, result] { *result = Pa_AbortStream(s->pa); };
        if (!RunBounded(*s, dropNow, Left(wait.deadline), "a stop"))
            return NoError;
        return StoppedIsFine(*result);
    }
    if (FadeGiven(*s, wait.deadline)) {
        s->running = false;
        s->draining = true;
        return NoError;
    }
    s->running = false;
    // One the library has stopped asks nothing of the server (nor is it
    // given up for a server that hangs meanwhile).
    if (!s->pa || Pa_IsStreamStopped(s->pa) == 1 || !RunBounded(*s, stop, Left(wait.deadline), "a stop"))
        return NoError;
    return StoppedIsFine(*result);
}

} // namespace

int StopStream(Stream* s)
{
    return StopOrAbort(s, false);
}

int AbortStream(Stream* s)
{
    return StopOrAbort(s, true);
}

int CloseStream(Stream* s)
{
    FlushDiagnostics flush;
    if (!s)
        return BadStreamPointer;
    ReportFailure(*s);
    // One whose fade still plays is closed once it has been heard; a stream
    // opened after it waits for that on the call thread, so that the two
    // never play together (nor does the end of the one disturb the start of
    // the other at the server).
    if (s->draining) {
        SoundServerCalls().Post([s] {
            Drain(*s);
            CloseAndFree(*s);
        });
        return NoError;
    }
    // A stream left to the library is freed once it has ended (ServerHeld).
    if (!s->givenUp && !(s->abandoned && s->ended.load()) && Abandon(*s)) {
        s->released = true;
        return NoError;
    }
    abandonedStreams.erase(std::remove(abandonedStreams.begin(), abandonedStreams.end(), s), abandonedStreams.end());
    // Closing a stream given up waits for the call it is held by; closing
    // any other may wait on the server: either way the stream is the call
    // thread's to free, and the pointer is invalid from here on.
    const WindowWait wait;
    if (s->givenUp || SoundServerCalls().Stuck() || Left(wait.deadline) == 0) {
        SoundServerCalls().Post([s] { CloseAndFree(*s); });
        return NoError;
    }
    auto result = std::make_shared<int>(paNoError);
    if (!SoundServerCalls().Run([s, result] { *result = CloseAndFree(*s); }, Left(wait.deadline))) {
        Log("audio: the sound server did not answer the closing of a stream within its time; it is closed later");
        return NoError;
    }
    return FromLibrary(*result);
}

int StreamActive(Stream* s)
{
    FlushDiagnostics flush;
    if (!s)
        return BadStreamPointer;
    // The call thread may be opening a given-up stream's library stream anew:
    // its pointer is not read once it is given up.
    if (s->givenUp || !s->pa || s->draining)
        return 0;
    const int active = Pa_IsStreamActive(s->pa);
    return active < 0 ? FromLibrary(active) : active;
}

Milliseconds StalledFor(Stream* s)
{
    if (!s || !s->running)
        return 0;
    Stalled(*s);
    return ServerTimeMs() - s->progressAt;
}

bool StreamDied(Stream* s)
{
    // Asked often (the device's watch): streams left to the library are
    // freed soon after they come back.
    ServerHeld();
    if (!s || !s->running)
        return false;
    if (s->ended.load())
        return !s->endedByCallback.load();
    return Stalled(*s);
}

double StreamTime(Stream* s)
{
    if (!s || s->givenUp)
        return 0.0;
    if (s->input) {
        const unsigned long long frames = s->frames.load();
        return frames > s->queuedFrames ? double(frames - s->queuedFrames) : 0.0;
    }
    // What was queued before the last host buffers given plays while they
    // wait: the time moves on with the clock from there, up to as much as
    // they hold, and reaches it as the next are given (or stands there when
    // they come late; when they come early, it moves on at once to where
    // they start). So it never goes back, and what is timed by it (the beat
    // displays) moves smoothly however long the host buffers are, or however
    // many the sound server asks for at once.
    unsigned long long frames = 0;
    long long givenAt = 0;
    unsigned long given = 0;
    for (;;) {
        const unsigned writing = s->givenWriting.load(std::memory_order_acquire);
        frames = s->frames.load(std::memory_order_relaxed);
        givenAt = s->givenAtNs.load(std::memory_order_relaxed);
        given = s->givenFrames.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (writing % 2 == 0 && s->givenWriting.load(std::memory_order_relaxed) == writing)
            break;
    }
    double played = double(frames) - double(s->queuedFrames);
    if (s->running && givenAt != 0) {
        const double since = double(SteadyNs() - givenAt) * 1e-9 * s->sampleRate;
        played += std::clamp(since, 0.0, double(given)) - double(given);
    }
    return played > 0.0 ? played : 0.0;
}

std::string ErrorText(int code)
{
    switch (code) {
    case NoError:
        return "no error";
    case HostError:
        return "the sound system reported an error";
    case InvalidChannelCount:
        return "channel count not supported";
    case InvalidSampleRate:
        return "sample rate not supported";
    case InvalidDeviceId:
        return "no such audio device";
    case InvalidFlag:
        return "invalid stream flag";
    case SampleFormatNotSupported:
        return "only 32-bit float samples are supported";
    case BadIODeviceCombination:
        return "input and output cannot be combined";
    case InsufficientMemory:
        return "not enough memory";
    case BufferTooBig:
        return "buffer too large";
    case BufferTooSmall:
        return "buffer of no frames (nothing to play or capture)";
    case NullCallback:
        return "no stream callback";
    case BadStreamPointer:
        return "no open stream";
    case TimedOut:
        return "the sound system timed out";
    case InternalError:
        return "internal error of the sound system";
    case DeviceUnavailable:
        return "no audio device available";
    default:
        return "unknown error " + std::to_string(code);
    }
}

int FromLibrary(int paResult)
{
    switch (paResult) {
    case paNoError:
        return NoError;
    case paInvalidChannelCount:
        return InvalidChannelCount;
    case paInvalidSampleRate:
        return InvalidSampleRate;
    case paInvalidDevice:
        return InvalidDeviceId;
    case paInvalidFlag:
        return InvalidFlag;
    case paSampleFormatNotSupported:
        return SampleFormatNotSupported;
    case paBadIODeviceCombination:
        return BadIODeviceCombination;
    case paInsufficientMemory:
        return InsufficientMemory;
    case paBufferTooBig:
        return BufferTooBig;
    case paBufferTooSmall:
        return BufferTooSmall;
    case paNullCallback:
        return NullCallback;
    case paBadStreamPtr:
        return BadStreamPointer;
    case paTimedOut:
        return TimedOut;
    case paInternalError:
        return InternalError;
    case paDeviceUnavailable:
        return DeviceUnavailable;
    default:
        if (paResult > 0)
            return NoError;
        Log(std::string("audio: PortAudio: ") + Pa_GetErrorText(paResult));
        return HostError;
    }
}

} // namespace Pa
} // namespace Platform
