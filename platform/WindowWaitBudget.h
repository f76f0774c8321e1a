#pragma once
// What the window's thread may still wait on the sound server while it
// handles one event (an input, a clock tick, a posted call): every wait of
// that handler together stays within WindowWaitMs, however many calls it
// makes (a press that stops one stream and starts another). The event loop
// opens one for each handler; a handler that runs a modal loop gets back
// what it had left when the loop ends, and the handlers inside it have
// budgets of their own. Without one open (start-up, exit, a test calling
// the audio layer itself), each call may wait WindowWaitMs. Thread of the
// window only: other threads never see one.
#include "platform/Clock.h"

namespace Platform {

class WindowWaitBudget {
public:
    WindowWaitBudget();
    ~WindowWaitBudget();
    WindowWaitBudget(const WindowWaitBudget&) = delete;
    WindowWaitBudget& operator=(const WindowWaitBudget&) = delete;

    // What the innermost open budget has left (WindowWaitMs when none is open).
    static Milliseconds Left();
    // Counts a wait against the innermost open budget.
    static void Spend(Milliseconds waited);

private:
    WindowWaitBudget* outer_;
    Milliseconds spent_ = 0;
};

} // namespace Platform
