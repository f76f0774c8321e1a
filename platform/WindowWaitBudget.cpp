#include "platform/WindowWaitBudget.h"

#include "platform/SoundServerCalls.h"

#include <algorithm>

namespace Platform {

namespace {

thread_local WindowWaitBudget* innermost = nullptr;

} // namespace

WindowWaitBudget::WindowWaitBudget()
    : outer_(innermost)
{
    innermost = this;
}

WindowWaitBudget::~WindowWaitBudget()
{
    innermost = outer_;
}

Milliseconds WindowWaitBudget::Left()
{
    return innermost ? std::max<Milliseconds>(0, WindowWaitMs - innermost->spent_) : WindowWaitMs;
}

void WindowWaitBudget::Spend(Milliseconds waited)
{
    if (innermost)
        innermost->spent_ += std::max<Milliseconds>(0, waited);
}

} // namespace Platform
