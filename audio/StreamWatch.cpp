#include "audio/StreamWatch.h"

#include "platform/TickRequest.h"

#include <utility>

namespace {

// Below the mixer watchers' ids and far above the ids SDL gives its windows,
// so no input event ever names one.
std::uint32_t NextId()
{
    static std::uint32_t next = 0xFFFE0000u;
    return next++;
}

} // namespace

StreamWatch::StreamWatch(std::function<void()> check)
    : id_(NextId())
    , check_(std::move(check))
{
    Platform::EventLoop& loop = Platform::EventLoop::Instance();
    loop.Attach(id_, *this);
    loop.StartTimer(id_);
}

StreamWatch::~StreamWatch()
{
    Platform::EventLoop::Instance().Detach(id_);
}

void StreamWatch::OnTick()
{
    // Asked for first: a check that opens a modal loop must not stop the clock.
    const bool background = Platform::EventLoop::Instance().InBackground();
    Platform::RequestTickAt(Platform::NowMs() + (background ? kBackgroundCheckMs : kCheckMs));
    if (check_)
        check_();
}
