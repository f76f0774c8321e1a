#pragma once
// Diagnostic messages from threads that must neither wait nor allocate (the
// audio engine thread, where the sound libraries' error hooks may run): each
// message is written into one of a fixed number of slots, and a later Flush on
// the GUI thread passes them to the log in the order they were posted. When
// every slot is taken the message is dropped and counted.
#include <array>
#include <atomic>
#include <cstdarg>
#include <cstddef>

namespace Platform {

class DiagnosticQueue {
public:
    // The sound library's first look at every device reports each one it
    // cannot open in one call (some 80 lines on a machine without a card),
    // with no flush before the call returns: such a burst fits.
    static constexpr std::size_t Slots = 256;
    static constexpr std::size_t TextLength = 256;

    constexpr DiagnosticQueue() = default;
    DiagnosticQueue(const DiagnosticQueue&) = delete;
    DiagnosticQueue& operator=(const DiagnosticQueue&) = delete;

    // Any thread; never waits, allocates or throws. Long texts are cut.
    void Post(const char* text);
    void PostFormatted(const char* format, va_list args);

    // One thread at a time (the GUI thread): logs what was posted, oldest first.
    void Flush();

private:
    enum : int { Free, Writing, Ready };
    struct Slot {
        std::atomic<int> state{Free};
        unsigned long sequence = 0;
        char text[TextLength] = {};
    };

    Slot* Claim(unsigned long& sequence);

    std::array<Slot, Slots> slots_{};
    std::atomic<unsigned long> next_{0};
    std::atomic<unsigned long> dropped_{0};
};

} // namespace Platform
