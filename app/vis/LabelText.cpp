#include "app/vis/LabelText.h"

#include <cmath>
#include <cstdio>
#include <locale>
#include <sstream>

std::string FixedText(float value)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text.setf(std::ios::fixed);
    text.precision(2);
    text << value;
    return text.str();
}

std::string IntegerText(float value)
{
    if (!std::isfinite(value) || std::fabs(value) >= 2.0e9f)
        return std::string();
    return std::to_string(long(value));
}
