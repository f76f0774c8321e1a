#pragma once
// How every process-wide singleton is held: Loki's SingletonHolder, created
// with new on first use and destroyed at exit by atexit in the reverse order
// of creation. A use after destruction throws std::logic_error "Dead
// Reference Detected", every time: no new instance is ever made.
//
// Before the first of these singletons is destroyed, the exit release runs
// once (the framework initialisation sets it to clear the object factory), so
// the objects released then still find every other singleton alive.
#include <functional>
#include <loki/Singleton.h>
#include <stdexcept>

namespace Vabo {

// Replaces the action run once at exit before the first singleton dies.
void SetExitRelease(std::function<void()> release);
// Runs the exit release if it is set and has not run yet.
void RunExitRelease();

// Loki creation policy: new/delete, the exit release before the first
// deletion, and a permanent dead flag (Loki's own flag is cleared when it
// reports the dead reference, which would let a second call make a new one).
template <class T> struct CreateWithExitRelease {
    static T* Create()
    {
        if (Dead())
            throw std::logic_error("Dead Reference Detected");
        return new T;
    }

    static void Destroy(T* instance)
    {
        RunExitRelease();
        delete instance;
        Dead() = true;
    }

private:
    static bool& Dead()
    {
        static bool dead = false;
        return dead;
    }
};

template <class T> using SingletonHolder = Loki::SingletonHolder<T, CreateWithExitRelease>;

} // namespace Vabo
