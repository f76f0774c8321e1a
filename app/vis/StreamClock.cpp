#include "app/vis/StreamClock.h"

#include "audio/AudioDevice.h"

#include <cmath>

StreamClock::StreamClock()
    : StreamClock(AudioDevice::Instance().Output())
{
}

StreamClock::StreamClock(Wave& stream)
    : stream_(stream)
{
}

double StreamClock::Frames() const
{
    return stream_.StreamTime();
}

double StreamClock::Seconds() const
{
    return stopped_ ? 0.0 : stream_.StreamTime() * 2.2675737e-05;
}

bool StreamClock::IsRunning() const
{
    return stream_.IsActive();
}

double StreamClock::Phase(double t, double period) const
{
    return Phase(t, period, IsRunning());
}

double StreamClock::Phase(double t, double period, bool running)
{
    if (!running || t == 0.0 || !(period > 0.0))
        return 1.0;
    const double periods = t * (1.0 / period);
    return (t - std::trunc(periods) * period) / period;
}
