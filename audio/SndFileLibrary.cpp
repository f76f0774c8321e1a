#include "audio/SndFileLibrary.h"

#include "platform/LibraryFunction.h"
#include "platform/Log.h"

#include "framework/core/Singleton.h"

#include <dlfcn.h>

namespace {

const std::string kName = "the sound-file library";

} // namespace

SndFileLibrary& SndFileLibrary::Instance()
{
    return Vabo::SingletonHolder<SndFileLibrary>::Instance();
}

SndFileLibrary::SndFileLibrary()
    : SndFileLibrary("libsndfile.so.1")
{
}

SndFileLibrary::SndFileLibrary(const std::string& library)
{
    // Never unmapped: the library keeps process-wide state of its own.
    handle_ = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle_) {
        const char* reason = ::dlerror();
        problem_ = "cannot load " + library + ": " + (reason ? reason : "unknown reason");
    } else {
        Platform::LibraryFunction(handle_, "sf_open", open_, problem_, kName);
        Platform::LibraryFunction(handle_, "sf_read_float", read_, problem_, kName);
        Platform::LibraryFunction(handle_, "sf_close", close_, problem_, kName);
        Platform::LibraryFunction(handle_, "sf_strerror", strerror_, problem_, kName);
    }
    if (!problem_.empty())
        Platform::Log("sound files: " + problem_);
}

SndFileLibrary::~SndFileLibrary()
{
    if (handle_)
        ::dlclose(handle_);
}

SNDFILE* SndFileLibrary::sf_open(const char* path, int mode, SF_INFO* info)
{
    return IsLoaded() ? open_(path, mode, info) : nullptr;
}

sf_count_t SndFileLibrary::sf_read_float(SNDFILE* file, float* samples, sf_count_t count)
{
    return read_ && file ? read_(file, samples, count) : 0;
}

int SndFileLibrary::sf_close(SNDFILE* file)
{
    return close_ && file ? close_(file) : 0;
}

std::string SndFileLibrary::LastError()
{
    if (!problem_.empty())
        return problem_;
    return strerror_ ? strerror_(nullptr) : std::string("unknown reason");
}
