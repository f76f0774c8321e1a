#pragma once
// A checker for code that must never wait on another thread: counts every
// mutex lock, condition wait, read-write lock and semaphore wait taken on a
// thread while a LockWatch::Scope is alive there. The test program's own
// definitions of the pthread calls count and then forward to the C library's.
#include <cstddef>

namespace LockWatch {

class Scope {
public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

// Locks and waits seen inside scopes, on every thread, since the last reset.
std::size_t Count();
void Reset();

} // namespace LockWatch
