#include "platform/PulseClientLibrary.h"

#include "platform/LibraryFunction.h"
#include "platform/Log.h"

#include <dlfcn.h>

namespace Platform {

PulseClientLibrary& PulseClientLibrary::Instance()
{
    static PulseClientLibrary library("libpulse.so.0");
    return library;
}

PulseClientLibrary::PulseClientLibrary(const std::string& library)
{
    // Never unmapped: the ALSA plugin may hold the same library.
    handle_ = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle_) {
        const char* reason = ::dlerror();
        problem_ = reason ? reason : "unknown reason";
    } else {
        LibraryFunction(handle_, "pa_mainloop_new", mainloopNew, problem_, "it");
        LibraryFunction(handle_, "pa_mainloop_free", mainloopFree, problem_, "it");
        LibraryFunction(handle_, "pa_mainloop_get_api", mainloopGetApi, problem_, "it");
        LibraryFunction(handle_, "pa_mainloop_prepare", mainloopPrepare, problem_, "it");
        LibraryFunction(handle_, "pa_mainloop_poll", mainloopPoll, problem_, "it");
        LibraryFunction(handle_, "pa_mainloop_dispatch", mainloopDispatch, problem_, "it");
        LibraryFunction(handle_, "pa_context_new", contextNew, problem_, "it");
        LibraryFunction(handle_, "pa_context_connect", contextConnect, problem_, "it");
        LibraryFunction(handle_, "pa_context_get_state", contextGetState, problem_, "it");
        LibraryFunction(handle_, "pa_context_errno", contextErrno, problem_, "it");
        LibraryFunction(handle_, "pa_context_disconnect", contextDisconnect, problem_, "it");
        LibraryFunction(handle_, "pa_context_unref", contextUnref, problem_, "it");
    }
    if (!problem_.empty()) {
        problem_ = "cannot use the sound server's client library " + library + ": " + problem_;
        Log("audio: " + problem_ + "; no sound server is asked, and sound goes to ALSA as it is set up");
    }
}

PulseClientLibrary::~PulseClientLibrary()
{
    if (handle_)
        ::dlclose(handle_);
}

} // namespace Platform
