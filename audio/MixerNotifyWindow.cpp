#include "audio/MixerNotifyWindow.h"

#include <utility>

#include "platform/TickRequest.h"

namespace {

// Far above the ids SDL gives its windows, so no input event ever names one.
std::uint32_t NextId()
{
    static std::uint32_t next = 0xFFFF0000u;
    return next++;
}

} // namespace

MixerNotifyWindow::MixerNotifyWindow(std::function<void()> poll)
    : id_(NextId())
    , poll_(std::move(poll))
{
    Platform::EventLoop& loop = Platform::EventLoop::Instance();
    loop.Attach(id_, *this);
    loop.StartTimer(id_);
}

MixerNotifyWindow::~MixerNotifyWindow()
{
    Platform::EventLoop::Instance().Detach(id_);
}

void MixerNotifyWindow::OnTick()
{
    if (Platform::EventLoop::Instance().InBackground())
        return;
    if (poll_)
        poll_();
    Platform::RequestTickAt(Platform::NowMs() + kPollMs);
}
