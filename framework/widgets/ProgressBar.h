// A bar that shows an amount done out of 100 by the length of a scroll
// object's bar.
#pragma once

#include "framework/widgets/TicScrollObject.h"

namespace Vabo {

class ProgressBar : public TicScrollObject {
public:
    explicit ProgressBar(TiXmlElement* element);
    ~ProgressBar() override;

    // Adds n, kept within 0 to 100, and shows it; returns the value.
    int Advance(int n);
    // Starts again from 0 and advances by n.
    void Reset(int n);
    int GetValue() const { return value_; }

private:
    int value_ = 0;
};

} // namespace Vabo
