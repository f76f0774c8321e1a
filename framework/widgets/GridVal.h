#pragma once
// A layout length: a number of pixels plus a fraction of the parent's extent
// along the same axis ("10px+0.5" is ten pixels more than half the parent).
#include "framework/core/XMLLoadSave.h"

#include <iosfwd>
#include <string>

namespace Vabo {

class GridVal : public XMLLoadSave {
public:
    GridVal() = default;
    GridVal(float units, float percentage)
        : units(units)
        , percentage(percentage)
    {
    }
    // Parses the skin text form: terms such as "10px", "0.5" or "0.5%" joined
    // by "+" or "-". A "%" only marks a fraction; the number is not divided by
    // 100. Parsing ends at the first term that cannot be read, keeping the
    // terms before it, so any text yields a value.
    explicit GridVal(const std::string& text);
    // Reads the required attribute in the text form. A sum held to the range
    // of skin lengths (pixels) or factors (fractions) is logged naming the
    // attribute, its text, the range and the skin file.
    bool ReadXmlLength(const TiXmlElement* element, const std::string& attribute);
    // Reads "Units" and "Percentage" (both required); a null element leaves
    // the value zero. Throws XMLLoadSaveException when one is missing.
    explicit GridVal(TiXmlElement* element);
    GridVal(const GridVal& other) = default;
    // Takes the length only.
    GridVal& operator=(const GridVal& other);

    bool LoadFromXML(TiXmlElement* element);

    GridVal& operator+=(const GridVal& other);
    GridVal& operator-=(const GridVal& other);

    // Pixels on an axis of the given extent, rounded half away from zero as
    // children are placed.
    int Resolve(int extent) const;
    // The same, truncated toward zero as animation steps place children.
    int ResolveTruncated(int extent) const;

    float units = 0.0f;
    float percentage = 0.0f;

private:
    // Adds the text's terms; tells which of the two sums had to be held.
    void Parse(const std::string& text, bool& unitsHeld, bool& percentageHeld);
};

GridVal operator+(GridVal a, const GridVal& b);
GridVal operator-(GridVal a, const GridVal& b);
bool operator==(const GridVal& a, const GridVal& b);
bool operator!=(const GridVal& a, const GridVal& b);

// Writes the text form "10px+0.5" that the parser reads back.
std::ostream& operator<<(std::ostream& out, const GridVal& value);

} // namespace Vabo
