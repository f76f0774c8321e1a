#include "platform/Log.h"

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

} // namespace

void Log(const std::string& message)
{
    std::lock_guard<std::mutex> lock(LogMutex());
    if (LogCapture* capture = CurrentCapture())
        capture->messages_.push_back(message);
    if (ToStderr())
        std::fprintf(stderr, "%s\n", message.c_str());
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
