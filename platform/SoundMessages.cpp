#include "platform/SoundMessages.h"

#include <alsa/asoundlib.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace Platform {

namespace {

void AlsaErrorToLog(const char* file, int line, const char* function, int err, const char* format, ...)
{
    char text[DiagnosticQueue::TextLength];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    // Some of its plugins end their texts; the log ends them itself, and a
    // repeat's count must stay on the line it counts.
    text[std::strcspn(text, "\n")] = '\0';
    // Room for the whole text: the queue cuts what is too long for it.
    char message[2 * DiagnosticQueue::TextLength];
    std::snprintf(message, sizeof message, "ALSA: %s:%d %s: %s%s%s%s", file, line, function, text, err ? " (" : "",
                  err ? snd_strerror(err) : "", err ? ")" : "");
    SoundMessages().Post(message);
}

} // namespace

DiagnosticQueue& SoundMessages()
{
    // While a device is gone every attempt to open it reports the same
    // lines again: the log counts them.
    static DiagnosticQueue queue;
    return queue;
}

void RouteAlsaMessages()
{
    snd_lib_error_set_handler(&AlsaErrorToLog);
}

} // namespace Platform
