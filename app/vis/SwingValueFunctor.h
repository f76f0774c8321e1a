#pragma once
// Turns a beat phase that rises from 0 to 1 each beat into a swing: rising
// during one beat, falling during the next. Rests at 0, ready to rise, while
// the output stream is stopped.
#include "app/vis/ValueSource.h"

class SwingValueFunctor {
public:
    // `running` tells whether the output stream plays; by default the audio
    // device's output.
    SwingValueFunctor(ScalarSource phase, bool forward, float previous, std::function<bool()> running = {});

    float operator()();

private:
    ScalarSource phase_;
    bool forward_;
    float previous_;
    std::function<bool()> running_;
};
