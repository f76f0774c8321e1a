#pragma once
// PulseAudio's client library ("libpulse.so.0", which PipeWire's pulse server
// serves too), loaded at run time: it alone knows every way a server is named
// (PULSE_SERVER lists, client.conf files, the runtime folder), and the sound
// libraries' ALSA plugin follows it. A machine without it (possible only
// where SDL2 does not link it, as Debian 12's does) has no such server and
// plays through ALSA directly; a missing library or function is logged once
// and leaves IsLoaded false, never a crash.
#include <pulse/context.h>
#include <pulse/mainloop.h>

#include <string>

namespace Platform {

class PulseClientLibrary {
public:
    // The system's, loaded on first use and kept until the process ends.
    static PulseClientLibrary& Instance();

    explicit PulseClientLibrary(const std::string& library);
    ~PulseClientLibrary();
    PulseClientLibrary(const PulseClientLibrary&) = delete;
    PulseClientLibrary& operator=(const PulseClientLibrary&) = delete;

    bool IsLoaded() const { return problem_.empty(); }

    // The library's functions of those names; all set when IsLoaded.
    decltype(&::pa_mainloop_new) mainloopNew = nullptr;
    decltype(&::pa_mainloop_free) mainloopFree = nullptr;
    decltype(&::pa_mainloop_get_api) mainloopGetApi = nullptr;
    decltype(&::pa_mainloop_prepare) mainloopPrepare = nullptr;
    decltype(&::pa_mainloop_poll) mainloopPoll = nullptr;
    decltype(&::pa_mainloop_dispatch) mainloopDispatch = nullptr;
    decltype(&::pa_context_new) contextNew = nullptr;
    decltype(&::pa_context_connect) contextConnect = nullptr;
    decltype(&::pa_context_get_state) contextGetState = nullptr;
    decltype(&::pa_context_errno) contextErrno = nullptr;
    decltype(&::pa_context_disconnect) contextDisconnect = nullptr;
    decltype(&::pa_context_unref) contextUnref = nullptr;

private:
    void* handle_ = nullptr;
    std::string problem_;
};

} // namespace Platform
