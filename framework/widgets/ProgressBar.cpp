#include "framework/widgets/ProgressBar.h"

#include <algorithm>

#include "framework/core/Registration.h"
#include "framework/widgets/InvalidateWhenShown.h"

namespace Vabo {

namespace {

RegisterClass<ProgressBar> progressBarClass("Vabo::ProgressBar", "$VABO/Objects/ProgressBar/ProgressBar.xml",
                                            [](TiXmlElement* element) -> GuiObject* {
                                                return new ProgressBar(element);
                                            });

constexpr int kSteps = 100;

} // namespace

ProgressBar::ProgressBar(TiXmlElement* element)
    : TicScrollObject(element)
{
    SetTicCount(kSteps);
    SetTicsPerPage(10);
    SetUnselectable(1);
}

ProgressBar::~ProgressBar() = default;

int ProgressBar::Advance(int n)
{
    // Summed wide: a step near an int's end must still stop at all or none.
    value_ = static_cast<int>(std::clamp<long long>(static_cast<long long>(value_) + n, 0, GetTicCount()));
    SetBarFraction(static_cast<float>(value_) / static_cast<float>(GetTicCount()));
    MoveBar(0, false);
    return value_;
}

void ProgressBar::Reset(int n)
{
    value_ = 0;
    InvalidateWhenShown(*this);
    Advance(n);
}

} // namespace Vabo
