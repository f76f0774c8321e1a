#include "platform/Clock.h"

#include <chrono>
#include <utility>

namespace Platform {
namespace {

std::function<Milliseconds()>& Source()
{
    static std::function<Milliseconds()> source;
    return source;
}

Milliseconds SteadyNow()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

Milliseconds NowMs()
{
    const auto& source = Source();
    return source ? source() : SteadyNow();
}

void SetClockSource(std::function<Milliseconds()> source)
{
    Source() = std::move(source);
}

ManualClock::ManualClock(Milliseconds start)
    : now_(start)
{
    SetClockSource([this] { return now_; });
}

ManualClock::~ManualClock()
{
    SetClockSource(nullptr);
}

} // namespace Platform
