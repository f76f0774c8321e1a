#pragma once
// libsndfile, loaded at run time ("libsndfile.so.1"). A missing library or
// function makes every call fail (and is logged once), never crash.
// Process-wide; use after destruction at exit throws std::logic_error
// "Dead Reference Detected".
#include <sndfile.h>

#include <string>

namespace Vabo {
template <class T> struct CreateWithExitRelease;
}

class SndFileLibrary {
public:
    static SndFileLibrary& Instance();

    explicit SndFileLibrary(const std::string& library);
    virtual ~SndFileLibrary();
    SndFileLibrary(const SndFileLibrary&) = delete;
    SndFileLibrary& operator=(const SndFileLibrary&) = delete;

    bool IsLoaded() const { return open_ && read_ && close_; }
    // Why the library cannot be used; empty when it can.
    const std::string& Problem() const { return problem_; }

    // Null when the file cannot be opened or the library is not usable.
    SNDFILE* sf_open(const char* path, int mode, SF_INFO* info);
    // Virtual so that a test can see how much a loader asks for.
    virtual sf_count_t sf_read_float(SNDFILE* file, float* samples, sf_count_t count);
    int sf_close(SNDFILE* file);
    // The library's reason for the last failure to open a file.
    std::string LastError();

private:
    friend struct Vabo::CreateWithExitRelease<SndFileLibrary>;
    SndFileLibrary();

    void* handle_ = nullptr;
    std::string problem_;
    SNDFILE* (*open_)(const char*, int, SF_INFO*) = nullptr;
    sf_count_t (*read_)(SNDFILE*, float*, sf_count_t) = nullptr;
    int (*close_)(SNDFILE*) = nullptr;
    const char* (*strerror_)(SNDFILE*) = nullptr;
};
