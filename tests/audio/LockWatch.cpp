#include "LockWatch.h"

#include <atomic>
#include <dlfcn.h>
#include <pthread.h>
#include <semaphore.h>

namespace {

thread_local int watching = 0;
std::atomic<std::size_t> seen{0};

void Note()
{
    if (watching > 0)
        seen.fetch_add(1, std::memory_order_relaxed);
}

template <class F> F Next(const char* name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

} // namespace

namespace LockWatch {

Scope::Scope()
{
    ++watching;
}

Scope::~Scope()
{
    --watching;
}

std::size_t Count()
{
    return seen.load();
}

void Reset()
{
    seen.store(0);
}

} // namespace LockWatch

extern "C" {

int pthread_mutex_lock(pthread_mutex_t* mutex)
{
    static const auto next = Next<int (*)(pthread_mutex_t*)>("pthread_mutex_lock");
    Note();
    return next(mutex);
}

int pthread_mutex_trylock(pthread_mutex_t* mutex)
{
    static const auto next = Next<int (*)(pthread_mutex_t*)>("pthread_mutex_trylock");
    Note();
    return next(mutex);
}

int pthread_cond_wait(pthread_cond_t* condition, pthread_mutex_t* mutex)
{
    static const auto next = Next<int (*)(pthread_cond_t*, pthread_mutex_t*)>("pthread_cond_wait");
    Note();
    return next(condition, mutex);
}

int pthread_rwlock_rdlock(pthread_rwlock_t* lock)
{
    static const auto next = Next<int (*)(pthread_rwlock_t*)>("pthread_rwlock_rdlock");
    Note();
    return next(lock);
}

int pthread_rwlock_wrlock(pthread_rwlock_t* lock)
{
    static const auto next = Next<int (*)(pthread_rwlock_t*)>("pthread_rwlock_wrlock");
    Note();
    return next(lock);
}

int sem_wait(sem_t* semaphore)
{
    static const auto next = Next<int (*)(sem_t*)>("sem_wait");
    Note();
    return next(semaphore);
}
}
