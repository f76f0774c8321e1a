#include "RealTimeWatch.h"

#include <atomic>
#include <cstdlib>
#include <cxxabi.h>
#include <dlfcn.h>
#include <new>
#include <pthread.h>
#include <semaphore.h>

namespace {

thread_local int watching = 0;
std::atomic<std::size_t> locks{0};
std::atomic<std::size_t> allocations{0};
std::atomic<std::size_t> throws{0};

void Note(std::atomic<std::size_t>& counter)
{
    if (watching > 0)
        counter.fetch_add(1, std::memory_order_relaxed);
}

template <class F> F Next(const char* name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

void* Allocate(std::size_t size)
{
    Note(allocations);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment)
{
    Note(allocations);
    const std::size_t a = static_cast<std::size_t>(alignment);
    if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a))
        return p;
    throw std::bad_alloc();
}

} // namespace

namespace RealTimeWatch {

Scope::Scope()
{
    ++watching;
}

Scope::~Scope()
{
    --watching;
}

std::size_t Locks()
{
    return locks.load();
}

std::size_t Allocations()
{
    return allocations.load();
}

std::size_t Throws()
{
    return throws.load();
}

void Reset()
{
    locks.store(0);
    allocations.store(0);
    throws.store(0);
}

} // namespace RealTimeWatch

void* operator new(std::size_t size)
{
    return Allocate(size);
}

void* operator new[](std::size_t size)
{
    return Allocate(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    Note(allocations);
    return std::malloc(size ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    Note(allocations);
    return std::malloc(size ? size : 1);
}

void* operator new(std::size_t size, std::align_val_t alignment)
{
    return AllocateAligned(size, alignment);
}

void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return AllocateAligned(size, alignment);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::align_val_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::align_val_t) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}

extern "C" void __cxxabiv1::__cxa_throw(void* exception, std::type_info* type, void (*destroy)(void*))
{
    static const auto next = Next<void (*)(void*, std::type_info*, void (*)(void*))>("__cxa_throw");
    Note(throws);
    next(exception, type, destroy);
    std::abort();
}

extern "C" {

int pthread_mutex_lock(pthread_mutex_t* mutex)
{
    static const auto next = Next<int (*)(pthread_mutex_t*)>("pthread_mutex_lock");
    Note(locks);
    return next(mutex);
}

int pthread_mutex_trylock(pthread_mutex_t* mutex)
{
    static const auto next = Next<int (*)(pthread_mutex_t*)>("pthread_mutex_trylock");
    Note(locks);
    return next(mutex);
}

int pthread_cond_wait(pthread_cond_t* condition, pthread_mutex_t* mutex)
{
    static const auto next = Next<int (*)(pthread_cond_t*, pthread_mutex_t*)>("pthread_cond_wait");
    Note(locks);
    return next(condition, mutex);
}

int pthread_rwlock_rdlock(pthread_rwlock_t* lock)
{
    static const auto next = Next<int (*)(pthread_rwlock_t*)>("pthread_rwlock_rdlock");
    Note(locks);
    return next(lock);
}

int pthread_rwlock_wrlock(pthread_rwlock_t* lock)
{
    static const auto next = Next<int (*)(pthread_rwlock_t*)>("pthread_rwlock_wrlock");
    Note(locks);
    return next(lock);
}

int sem_wait(sem_t* semaphore)
{
    static const auto next = Next<int (*)(sem_t*)>("sem_wait");
    Note(locks);
    return next(semaphore);
}
}
