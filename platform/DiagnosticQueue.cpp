#include "platform/DiagnosticQueue.h"

#include "platform/Log.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace Platform {

DiagnosticQueue::Slot* DiagnosticQueue::Claim(unsigned long& sequence)
{
    sequence = next_.fetch_add(1, std::memory_order_relaxed);
    for (std::size_t i = 0; i < Slots; ++i) {
        Slot& slot = slots_[(sequence + i) % Slots];
        int expected = Free;
        if (slot.state.compare_exchange_strong(expected, Writing, std::memory_order_acquire))
            return &slot;
    }
    dropped_.fetch_add(1, std::memory_order_relaxed);
    return nullptr;
}

void DiagnosticQueue::Post(const char* text)
{
    unsigned long sequence = 0;
    if (Slot* slot = Claim(sequence)) {
        slot->sequence = sequence;
        std::snprintf(slot->text, TextLength, "%s", text ? text : "");
        slot->state.store(Ready, std::memory_order_release);
    }
}

void DiagnosticQueue::PostFormatted(const char* format, va_list args)
{
    unsigned long sequence = 0;
    if (Slot* slot = Claim(sequence)) {
        slot->sequence = sequence;
        std::vsnprintf(slot->text, TextLength, format ? format : "", args);
        slot->state.store(Ready, std::memory_order_release);
    }
}

void DiagnosticQueue::Flush()
{
    std::array<std::pair<unsigned long, Slot*>, Slots> ready;
    std::size_t count = 0;
    for (Slot& slot : slots_)
        if (slot.state.load(std::memory_order_acquire) == Ready)
            ready[count++] = {slot.sequence, &slot};
    std::sort(ready.begin(), ready.begin() + long(count));
    for (std::size_t i = 0; i < count; ++i) {
        Slot& slot = *ready[i].second;
        const std::string text(slot.text, strnlen(slot.text, TextLength));
        slot.state.store(Free, std::memory_order_release);
        Log(text);
    }
    if (const unsigned long dropped = dropped_.exchange(0, std::memory_order_relaxed))
        Log(std::to_string(dropped) + (dropped == 1 ? " diagnostic message was" : " diagnostic messages were")
            + " dropped: too many at once");
}

} // namespace Platform
