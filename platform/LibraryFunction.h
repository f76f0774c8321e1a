#pragma once
// Functions of a library loaded at run time (dlopen) are looked up by name;
// a library without one is told in a sentence for the log, never a crash.
#include <dlfcn.h>

#include <string>

namespace Platform {

// The function named, or null; then, unless a problem is told already, the
// problem says which function `library` lacks.
template <class F>
void LibraryFunction(void* handle, const char* name, F& function, std::string& problem, const std::string& library)
{
    function = reinterpret_cast<F>(::dlsym(handle, name));
    if (!function && problem.empty())
        problem = std::string("function ") + name + " not found in " + library;
}

} // namespace Platform
