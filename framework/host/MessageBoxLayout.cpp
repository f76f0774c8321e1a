#include "framework/host/MessageBoxLayout.h"

#include <algorithm>

namespace Vabo {

namespace {

// Only the blank: a label list is written by the program, and a tab or line
// break in it is part of the label.
bool IsBlank(char c)
{
    return c == ' ';
}

std::string Trimmed(const std::string& text)
{
    auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
    auto last = std::find_if_not(text.rbegin(), text.rend(), IsBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

} // namespace

std::vector<std::string> SplitButtonLabels(const std::string& labels)
{
    std::vector<std::string> result;
    std::string current;
    auto flush = [&] {
        std::string label = Trimmed(current);
        if (!label.empty())
            result.push_back(label);
        current.clear();
    };
    for (char c : labels) {
        if (c == ',' || c == '"')
            flush();
        else
            current += c;
    }
    flush();
    return result;
}

ButtonSlot PlaceButton(int i, int n, int maxButtons)
{
    if (n >= maxButtons) {
        const float width = 1.0f / static_cast<float>(n);
        return {(static_cast<float>(i) - 1.0f) * width, width};
    }
    const float width = 1.0f / static_cast<float>(maxButtons);
    const float centre = static_cast<float>(i) / static_cast<float>(n + 1);
    return {centre - width / 2.0f, width};
}

} // namespace Vabo
