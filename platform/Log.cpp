#include "platform/Log.h"

#include "platform/RepeatCounter.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace Platform {
namespace {

std::mutex& LogMutex()
{
    static std::mutex mutex;
    return mutex;
}

LogCapture*& CurrentCapture()
{
    static LogCapture* capture = nullptr;
    return capture;
}

bool ToStderr()
{
    static const bool enabled = std::getenv("PELLORA_LOG") != nullptr;
    return enabled;
}

// While a device or the sound server stays away, every attempt to reach it
// says the same thing again, for as long as the program runs: what is written
// is counted, so the log grows with the logarithm of the repeats. Kept to
// the end, for what is logged while the program's statics go.
RepeatCounter& Repeats()
{
    static RepeatCounter* repeats = new RepeatCounter;
    return *repeats;
}

} // namespace

void Log(const std::string& message)
{
    std::lock_guard<std::mutex> lock(LogMutex());
    if (LogCapture* capture = CurrentCapture())
        capture->messages_.push_back(message);
    if (!ToStderr())
        return;
    if (const std::string line = Repeats().Pass(message); !line.empty())
        std::fprintf(stderr, "%s\n", line.c_str());
}

LogCapture::LogCapture()
{
    std::lock_guard<std::mutex> lock(LogMutex());
    previous_ = CurrentCapture();
    CurrentCapture() = this;
}

LogCapture::~LogCapture()
{
    std::lock_guard<std::mutex> lock(LogMutex());
    CurrentCapture() = previous_;
}

bool LogCapture::Contains(const std::string& text) const
{
    for (const auto& message : messages_)
        if (message.find(text) != std::string::npos)
            return true;
    return false;
}

} // namespace Platform
