#include "platform/SoundServerProbe.h"

#include "platform/Log.h"
#include "platform/PulseClientLibrary.h"

#include <algorithm>
#include <chrono>
#include <climits>

namespace Platform {

namespace {

// Without waiting, the library is moved on while it has something to do (a
// reply to read, a request to send), but never for ever.
constexpr int RoundsWithoutWaiting = 64;

} // namespace

// One connection to the server, and the main loop that drives it: no thread
// of the library's own runs, so nothing moves between our calls.
struct SoundServerProbe::Question {
    explicit Question(PulseClientLibrary& library)
        : pa(library)
    {
    }
    ~Question()
    {
        if (context) {
            pa.contextDisconnect(context);
            pa.contextUnref(context);
        }
        if (loop)
            pa.mainloopFree(loop);
    }
    Question(const Question&) = delete;
    Question& operator=(const Question&) = delete;

    PulseClientLibrary& pa;
    pa_mainloop* loop = nullptr;
    pa_context* context = nullptr;
};

SoundServerProbe::SoundServerProbe()
    : SoundServerProbe(PulseClientLibrary::Instance())
{
}

SoundServerProbe::SoundServerProbe(PulseClientLibrary& library)
    : library_(library)
{
}

SoundServerProbe::~SoundServerProbe() = default;

SoundServerProbe::Reply SoundServerProbe::Ask(Milliseconds waitMs)
{
    if (!library_.IsLoaded())
        return Reply::NotReached;
    // An answer already waiting may be old: who can wait asks again (Wait
    // lets go of a question that has had its answer).
    if (question_ && waitMs > 0)
        Wait(0);
    if (!question_) {
        auto question = std::make_unique<Question>(library_);
        question->loop = library_.mainloopNew();
        question->context = question->loop
            ? library_.contextNew(library_.mainloopGetApi(question->loop), "Pellora sound server check")
            : nullptr;
        if (!question->context) {
            Log("audio: cannot ask the sound server whether it answers: its client library made no connection");
            return Reply::NotReached;
        }
        // No server named: the library looks where the ALSA plugin looks. One
        // that is not running stays so: the plugin starts it if it must.
        library_.contextConnect(question->context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
        question_ = std::move(question);
    }
    Reply reply = Wait(waitMs);
    // A server that stopped answering is not one that went away: its queue
    // of clients fills, and turns the next question away.
    if (reply == Reply::NotReached && heardSilence_)
        reply = Reply::Silent;
    if (reply == Reply::Answers)
        heardSilence_ = false;
    else if (reply == Reply::Silent && (waitMs > 0 || !question_))
        heardSilence_ = true;
    return reply;
}

SoundServerProbe::Reply SoundServerProbe::Wait(Milliseconds waitMs)
{
    using SteadyClock = std::chrono::steady_clock;
    const SteadyClock::time_point deadline = SteadyClock::now() + std::chrono::milliseconds(waitMs);
    for (int roundsWithoutWaiting = 0;;) {
        // Once the server has answered the client's authentication it is
        // not hung: the rest of the greeting would take one more exchange,
        // which a look that waits for nothing finds only a look later.
        const pa_context_state_t state = library_.contextGetState(question_->context);
        const bool answered = state == PA_CONTEXT_SETTING_NAME || state == PA_CONTEXT_READY;
        if (answered || !PA_CONTEXT_IS_GOOD(state)) {
            const Reply reply = answered ? Reply::Answers : Ended();
            question_.reset();
            return reply;
        }
        const long long leftUs = std::max<long long>(
            0, std::chrono::duration_cast<std::chrono::microseconds>(deadline - SteadyClock::now()).count());
        if (leftUs == 0 && ++roundsWithoutWaiting > RoundsWithoutWaiting)
            return Reply::Silent;
        if (library_.mainloopPrepare(question_->loop, int(std::min<long long>(leftUs, INT_MAX))) < 0
            || library_.mainloopPoll(question_->loop) < 0) {
            Log("audio: waiting for the sound server's answer failed in its client library");
            question_.reset();
            return Reply::NotReached;
        }
        if (library_.mainloopDispatch(question_->loop) <= 0 && leftUs == 0)
            return Reply::Silent;
    }
}

SoundServerProbe::Reply SoundServerProbe::Ended()
{
    switch (library_.contextErrno(question_->context)) {
    case PA_ERR_CONNECTIONREFUSED:
    case PA_ERR_INVALIDSERVER:
        return Reply::NotReached;
    // Its reply did not come within the library's own time (half a minute).
    case PA_ERR_TIMEOUT:
        return Reply::Silent;
    default:
        return Reply::Answers;
    }
}

} // namespace Platform
