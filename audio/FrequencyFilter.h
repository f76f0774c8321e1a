#pragma once
// Rejects isolated jumps of the pitch estimate: a new value more than a
// semitone from the last accepted one is taken only once the recent history
// agrees with it, and then marks a change of note.
#include <deque>

class FrequencyFilter {
public:
    float Filter(float f);
    float LastAccepted() const { return last_; }
    // Whether the last Filter took a new value after a jump: the start of a
    // new note, where the smoothing must not blend in the old one.
    bool AcceptedJump() const { return jumped_; }

private:
    bool Near(float a, float b) const;

    std::deque<float> history_; // newest first
    int capacity_ = 5;
    // A semitone, as 25 Hz is around 440 Hz.
    float toleranceCents_ = 100.0f;
    float last_ = 0.0f;
    bool jumped_ = false;
};
