#pragma once
// Lets one thread at a time into engine-side state that has a single writer
// by design. A stream whose stop stopped waiting for a call under way (the
// engine thread starved for long) may still be in that call when the stream
// that replaces it calls in: the second caller is turned away at once, never
// waiting on the other audio thread, and plays silence instead.
#include <atomic>

class SoleEntry {
public:
    // Holds the entry while it lives, when it got it.
    class Pass {
    public:
        explicit Pass(SoleEntry& entry)
            : entry_(entry)
            , held_(!entry.inside_.exchange(true, std::memory_order_acq_rel))
        {
        }
        ~Pass()
        {
            if (held_)
                entry_.inside_.store(false, std::memory_order_release);
        }
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;
        explicit operator bool() const { return held_; }

    private:
        SoleEntry& entry_;
        bool held_;
    };

private:
    std::atomic<bool> inside_{false};
};
