#include "audio/WaveCallbackTable.h"

#include <loki/Singleton.h>

#include <utility>

namespace {

using Holder = Loki::SingletonHolder<WaveCallbackTable, Loki::CreateUsingNew, Loki::PhoenixSingleton>;

template <std::size_t... I>
std::array<Platform::Pa::Callback, WaveCallbackTable::Capacity> MakeTrampolines(std::index_sequence<I...>)
{
    return {&WaveCallbackTable::StaticCallback<I>...};
}

} // namespace

WaveCallbackTable& WaveCallbackTable::Instance()
{
    return Holder::Instance();
}

std::atomic<WaveCallbackTable*> WaveCallbackTable::live_{nullptr};

WaveCallbackTable::WaveCallbackTable()
    : trampolines_(MakeTrampolines(std::make_index_sequence<Capacity>()))
{
    live_.store(this, std::memory_order_release);
}

WaveCallbackTable::~WaveCallbackTable()
{
    live_.store(nullptr, std::memory_order_release);
}

Platform::Pa::Callback WaveCallbackTable::Register(const StreamCallback& callback)
{
    const std::size_t index = count_.load(std::memory_order_relaxed);
    if (index >= Capacity)
        return nullptr;
    callbacks_[index] = callback;
    count_.store(index + 1, std::memory_order_release);
    return trampolines_[index];
}

template <std::size_t I>
int WaveCallbackTable::StaticCallback(void* input, void* output, unsigned long frames, double outTime, void* userData)
{
    WaveCallbackTable* table = live_.load(std::memory_order_acquire);
    if (!table || table->Count() <= I)
        return 0;
    return table->callbacks_[I](input, output, frames, outTime, userData);
}
