#pragma once
// A checker for code that runs on the audio thread and so must never wait on
// another thread, allocate or throw: counts every mutex lock, condition wait,
// read-write lock and semaphore wait, every operator new and every throw made
// on a thread while a RealTimeWatch::Scope is alive there. The test program's
// own definitions of those calls count and then forward to the real ones.
#include <cstddef>

namespace RealTimeWatch {

class Scope {
public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

// What was seen inside scopes, on every thread, since the last reset.
std::size_t Locks();
std::size_t Allocations();
std::size_t Throws();
void Reset();

} // namespace RealTimeWatch
