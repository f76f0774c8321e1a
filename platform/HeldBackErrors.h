#pragma once
// What the process writes to stderr while the object lives, held back in a
// temporary file and handed to the caller when stderr is given back. A server
// that refuses a client says why only there, through the X library, and that
// reason belongs in the one message the failure gives.
#include <cstdio>
#include <string>

namespace Platform {

class HeldBackErrors {
public:
    // Nothing is held back when no temporary file can be made.
    HeldBackErrors();
    // Gives stderr back; what was held back is dropped unless Release took it.
    ~HeldBackErrors();
    HeldBackErrors(const HeldBackErrors&) = delete;
    HeldBackErrors& operator=(const HeldBackErrors&) = delete;

    // Gives stderr back; what was held back (empty on a second call).
    std::string Release();

private:
    std::FILE* file_;
    int saved_ = -1;
};

} // namespace Platform
