#pragma once
// Hands each stream one of eight plain functions (the library's callbacks) that
// forward to that stream's bound callback. Process-wide; a use after its
// destruction at exit creates it anew.
#include "audio/StreamCallback.h"
#include "platform/PaAdapter.h"

#include <array>
#include <atomic>
#include <cstddef>

namespace Loki {
template <class T> struct CreateUsingNew;
}

class WaveCallbackTable {
public:
    static constexpr std::size_t Capacity = 8;

    static WaveCallbackTable& Instance();

    // The trampoline of the new entry, or null (and nothing stored) when all
    // eight are taken.
    Platform::Pa::Callback Register(const StreamCallback& callback);
    std::size_t Count() const { return count_.load(std::memory_order_acquire); }

    // Trampoline i forwards to entry i while it exists, else returns 0.
    template <std::size_t I>
    static int StaticCallback(void* input, void* output, unsigned long frames, double outTime, void* userData);

private:
    friend struct Loki::CreateUsingNew<WaveCallbackTable>;
    WaveCallbackTable();
    ~WaveCallbackTable();

    // The live table for the trampolines: the engine thread never goes
    // through the accessor, which may create the table or throw.
    static std::atomic<WaveCallbackTable*> live_;

    // Entries are written before the count that publishes them, so the engine
    // thread never sees an entry being written.
    std::array<StreamCallback, Capacity> callbacks_;
    std::atomic<std::size_t> count_{0};
    std::array<Platform::Pa::Callback, Capacity> trampolines_;
};
