#pragma once
// The message box's arithmetic: how a label list becomes button labels and
// where each button sits in the button row (as fractions of the row).
#include <string>
#include <vector>

namespace Vabo {

// Splits a label list at every comma and double quote; each label is trimmed
// of blanks (" ", nothing else) and empty labels are dropped ("RETRY, CANCEL"
// gives "RETRY" and "CANCEL"); every other label is kept, in order, a repeated
// one too. An empty result means the caller shows the single label "OK".
std::vector<std::string> SplitButtonLabels(const std::string& labels);

// A button's place in the row, as fractions of the row's width; every button
// takes the row's full height.
struct ButtonSlot {
    float left;
    float width;
};

// Button i (counted from 1) of n, in a row divided as if it held at least
// maxButtons buttons. Fewer than maxButtons keep the width 1/maxButtons and
// centre at i/(n+1); a full row (n >= maxButtons) shares the width equally,
// button i centred at (i - 0.5)/n, so neighbours never overlap.
ButtonSlot PlaceButton(int i, int n, int maxButtons);

} // namespace Vabo
