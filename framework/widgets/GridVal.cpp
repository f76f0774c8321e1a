#include "framework/widgets/GridVal.h"

#include "framework/core/SkinLimits.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <locale>
#include <ostream>
#include <sstream>

namespace Vabo {
namespace {

// Skins are written with "." as the decimal point whatever the user's locale.
locale_t ClassicLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

// Keeps absurd skin values (and the float-to-int conversion) inside a range
// no window reaches.
int ToPixels(float v)
{
    constexpr float limit = kMaxSkinLength;
    if (std::isnan(v))
        return 0;
    if (v > limit)
        v = limit;
    if (v < -limit)
        v = -limit;
    return static_cast<int>(v);
}

} // namespace

GridVal::GridVal(const std::string& text)
{
    bool unitsHeld = false;
    bool percentageHeld = false;
    Parse(text, unitsHeld, percentageHeld);
}

bool GridVal::ReadXmlLength(const TiXmlElement* element, const std::string& attribute)
{
    std::string text;
    if (!ReadXmlAttribute(text, element, attribute, true))
        return false;
    units = 0.0f;
    percentage = 0.0f;
    bool unitsHeld = false;
    bool percentageHeld = false;
    Parse(text, unitsHeld, percentageHeld);
    const std::string pixels = std::to_string(kMaxSkinLength) + "px";
    if (unitsHeld)
        ReportBeyond(element, attribute, text, "-" + pixels, pixels, true, true);
    if (percentageHeld) {
        std::string low, high;
        ToString(kSkinFactor.low, low);
        ToString(kSkinFactor.high, high);
        ReportBeyond(element, attribute, text, low, high, true, true);
    }
    return true;
}

void GridVal::Parse(const std::string& text, bool& unitsHeld, bool& percentageHeld)
{
    const char* cursor = text.c_str();
    while (*cursor != '\0') {
        float sign = 1.0f;
        if (*cursor == '-' || *cursor == '+') {
            sign = *cursor == '-' ? -1.0f : 1.0f;
            ++cursor;
        }
        char* end = nullptr;
        const float value = strtof_l(cursor, &end, ClassicLocale());
        if (end == cursor || !std::isfinite(value))
            return;
        cursor = end;

        bool pixels = false;
        if (*cursor == 'p') {
            if (cursor[1] != 'x')
                return;
            cursor += 2;
            pixels = true;
        } else if (*cursor == '%') {
            ++cursor;
        }
        (pixels ? units : percentage) += sign * value;
        // Held to the ranges every skin length is: an edit in the GUI
        // builder multiplies the fraction by an extent.
        units = ClampToRange(units, -kSkinLengthF.high, kSkinLengthF.high, unitsHeld);
        percentage = ClampToRange(percentage, kSkinFactor.low, kSkinFactor.high, percentageHeld);
    }
}

GridVal::GridVal(TiXmlElement* element)
{
    if (element != nullptr)
        LoadOrThrow(element, this);
}

GridVal& GridVal::operator=(const GridVal& other)
{
    units = other.units;
    percentage = other.percentage;
    return *this;
}

bool GridVal::LoadFromXML(TiXmlElement* element)
{
    return ReadXmlAttribute(units, element, "Units", true, kSkinLengthF)
        && ReadXmlAttribute(percentage, element, "Percentage", true, kSkinFactor);
}

GridVal& GridVal::operator+=(const GridVal& other)
{
    units += other.units;
    percentage += other.percentage;
    return *this;
}

GridVal& GridVal::operator-=(const GridVal& other)
{
    units -= other.units;
    percentage -= other.percentage;
    return *this;
}

int GridVal::Resolve(int extent) const
{
    const float v = static_cast<float>(extent) * percentage + units;
    return ToPixels(v >= 0.0f ? v + 0.5f : v - 0.5f);
}

int GridVal::ResolveTruncated(int extent) const
{
    return ToPixels(static_cast<float>(extent) * percentage + units);
}

GridVal operator+(GridVal a, const GridVal& b)
{
    return a += b;
}

GridVal operator-(GridVal a, const GridVal& b)
{
    return a -= b;
}

bool operator==(const GridVal& a, const GridVal& b)
{
    return a.units == b.units && a.percentage == b.percentage;
}

bool operator!=(const GridVal& a, const GridVal& b)
{
    return !(a == b);
}

std::ostream& operator<<(std::ostream& out, const GridVal& value)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value.units << (value.percentage >= 0.0f ? "px+" : "px-") << std::fabs(value.percentage);
    return out << text.str();
}

} // namespace Vabo
