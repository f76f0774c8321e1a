#pragma once
// The audio-stream calls the engine is written against (PortAudio's version-18
// interface), implemented over PortAudio v19. The callback always receives
// exactly the frames per buffer the stream was opened with, whatever the host
// delivers; output buffers are zeroed before the callback fills them; a looped
// output buffer is filled once at start and then replayed cyclically; an
// output stream first gives the host the silence a sound server may have
// mixed ahead when it joins (20 ms at most), and then the callback's sound,
// so that its first frame is heard whole; an output stream that is stopped
// fades its sound out over 5 ms and stops once that has been heard, so that
// it ends on silence (the stop returns once the fade is given, and the
// stream ends itself once it is heard), unless a new sound (a click) was to
// begin after a silence that is heard now: then what is queued is dropped
// at once, so that nothing of it is heard; the stream time counts the frames
// captured, or played of the callback's sound (given, less what is still
// queued), since the start. The engine thread asks
// for real-time priority and runs on without it where the system refuses.
#include "platform/Clock.h"
#include "platform/SoundServerCalls.h"

#include <string>

namespace Platform {
namespace Pa {

using Callback = int (*)(void* input, void* output, unsigned long frames, double outTime, void* userData);

struct Stream;

constexpr unsigned long Float32 = 1;

// Every result of these calls is one of these codes (the version-18
// numbering the engine is written against); the library's own codes are
// translated, never passed through.
constexpr int NoError = 0;
constexpr int HostError = -10000;
constexpr int InvalidChannelCount = -9999;
constexpr int InvalidSampleRate = -9998;
constexpr int InvalidDeviceId = -9997;
constexpr int InvalidFlag = -9996;
constexpr int SampleFormatNotSupported = -9995;
constexpr int BadIODeviceCombination = -9994;
constexpr int InsufficientMemory = -9993;
constexpr int BufferTooBig = -9992;
constexpr int BufferTooSmall = -9991;
constexpr int NullCallback = -9990;
constexpr int BadStreamPointer = -9989;
constexpr int TimedOut = -9988;
constexpr int InternalError = -9987;
constexpr int DeviceUnavailable = -9986;

// Every call below that may wait on the sound server (opening, starting,
// stopping, closing) waits for it at most WindowWaitMs (SoundServerCalls.h),
// the check before an open and an open anew at a start included, and all
// the calls made for one event of the window together no longer
// (WindowWaitBudget.h): once they have waited that long, an open or a start
// fails with TimedOut without asking the server, and a close is left to the
// call thread;
// initialising at most StartUpWithinMs: a server that is stopped answers
// nothing, and the library would wait for it without end. A
// call that does not return in time goes on, on the sound server's call
// thread, and the stream it was made on is given up: its start fails with
// TimedOut, a stop or close reports success (nothing of ours plays or is
// captured from it any more), and it is closed and freed once the call
// returns. Until then no stream is opened or started (DeviceUnavailable),
// since the server would hold it as long.

int Initialize();
int Terminate();

// Whether the sound server answered a question of ours within waitMs (see
// SoundServerProbe), or none is reached (none runs, or there is no client
// library: sound goes to ALSA directly). A stream is opened only on a
// server that has just answered (else the open fails with TimedOut): one that
// hangs would hold the open for half a minute, and the library fail on it
// then. With 0 it never waits: a question left unanswered stays outstanding
// and a later call takes its answer, so that what retries now and then asks
// the server without ever being held by it. Such an answer may be old (the
// server may have stopped again since): it only says whether to try; an
// open asks again, and waits for a new answer. Called on the thread that
// opens the streams.
bool ServerAnswers(Milliseconds waitMs);

// The frames per buffer the host is asked for: a large v18 buffer (a whole
// bar or tone) is served from our own buffer through ordinary host buffers.
unsigned long HostFrames(unsigned long framesPerBuffer);
// Opens a stream on the default input (inChannels > 0) or output device.
// numberOfBuffers: for output, how many host buffers to queue ahead (at least
// the device's default latency); 0, and for input, the host picks.
// hostFrames: as SetHostFrames, given here so that the library stream is
// opened with them at once rather than opened again at the start.
int OpenDefaultStream(Stream** stream, int inChannels, int outChannels, unsigned long sampleFormat, double sampleRate,
                      unsigned long framesPerBuffer, unsigned long numberOfBuffers, Callback callback, void* userData,
                      unsigned long hostFrames = 0);
// The frames of each host buffer from the stream's next start on; 0 for
// HostFrames(framesPerBuffer). The callback still gets its own frames per
// buffer, but as many of them at a time as a host buffer holds: longer host
// buffers wake the process less often, and each buffer's sound arrives (or
// is given) that much later.
int SetHostFrames(Stream* stream, unsigned long frames);
// loop: fill the output buffer once now (on the calling thread) and repeat it
// without calling the callback again. Output, looped or not, starts after the
// silence described above, which the stream time does not count. Every start
// after the first opens the library's stream anew (a stopped stream may have
// lost its sound server); when that fails, so does the start, and the stream
// can only be closed or started again. A stream left to the library is never
// started again.
int StartStream(Stream* stream, bool loop);
// Output: both fade the sound out and wait until the fade was given (a host
// buffer; not for a stream whose frames have stopped): from then on the
// callback is not called again, what is queued plays, the fade last, and the
// stream ends itself, waited for by nobody. A start or a close of that
// stream, and so any stream opened after that close, waits for that on the
// call thread; the stream counts as stopped meanwhile.
int StopStream(Stream* stream); // lets queued buffers finish (a capture that gave none yet is dropped)
int AbortStream(Stream* stream); // drops them (output: those after its fade)
// Frees the stream; the pointer is invalid afterwards.
int CloseStream(Stream* stream);
// 1 while the stream runs, 0 when not, a negative code for a bad stream.
int StreamActive(Stream* stream);
// True when a started stream ended although neither we nor its callback
// stopped it, or its frames stopped moving for five seconds: the device or
// sound server went away. A stream that stalls while the library still runs
// it is left behind by stop and close (they report success), since the
// library would wait for it for ever. Should it come back (a server that was
// stopped and goes on), it calls nobody, ends and is freed; until then no
// stream is opened (DeviceUnavailable), since opening one on that server
// would wait as long.
bool StreamDied(Stream* stream);
// How long the frames of a started stream have not moved, as far as the
// calls that watch it (this one and StreamDied) have seen: next to nothing
// while it delivers. Stopping a stream whose sound server has just gone
// away can wait for its thread for ever until it counts as stalled, so a
// stop that is not needed asks here first. 0 for a bad or stopped stream.
Milliseconds StalledFor(Stream* stream);
// Frames played or captured since the last start; 0 for a bad stream. The
// frames captured move by whole host buffers; the frames played of a running
// stream move on with the clock between them, never back.
double StreamTime(Stream* stream);

// What a code means, for the log.
std::string ErrorText(int code);
// The code of ours for a result of PortAudio v19 (logged with the library's
// text when it has no equal of ours).
int FromLibrary(int paResult);

} // namespace Pa
} // namespace Platform
