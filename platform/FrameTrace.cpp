#include "platform/FrameTrace.h"

#include "platform/Log.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace Platform {
namespace {

std::FILE* TraceFile()
{
    static std::FILE* file = [] {
        const char* path = std::getenv("PELLORA_FRAME_TRACE");
        if (!path || !*path)
            return static_cast<std::FILE*>(nullptr);
        std::FILE* opened = std::fopen(path, "w");
        if (!opened)
            Log(std::string("FrameTrace: cannot write ") + path);
        return opened;
    }();
    return file;
}

} // namespace

bool FrameTraceOn()
{
    return TraceFile() != nullptr;
}

void FrameTrace(const std::string& what)
{
    std::FILE* file = TraceFile();
    if (!file)
        return;
    // The wall clock, so that a script can set its own readings beside it.
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::fprintf(file, "%lld %s\n", static_cast<long long>(std::chrono::nanoseconds(now).count()), what.c_str());
    std::fflush(file);
}

} // namespace Platform
