// Attribute reading and writing of XMLLoadSave: macro expansion, references
// and the text converters.
#include "framework/core/XMLLoadSave.h"

#include "framework/core/DocMap.h"
#include "framework/core/SkinFileOf.h"
#include "platform/Log.h"

#include <cctype>
#include <charconv>
#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <locale>
#include <sstream>
#include <utility>

namespace {

const char* const kLibraryMacro = "$VABO";

// References may name further references; a chain longer than this is a
// cycle (or a skin nobody can read) and the read fails.
const int kMaxReplacements = 64;
// References stand for short values (colours, paths); a text they expand
// beyond this is refused rather than grown a replacement at a time.
const std::size_t kMaxExpandedBytes = 1 << 20;

// Where a number may start as atoi()/atof() see it: after leading blanks
// and a plus sign (from_chars accepts neither).
const char* NumberStart(const std::string& text)
{
    const char* p = text.c_str();
    while (*p && std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    if (*p == '+' && p[1] != '-')
        ++p;
    return p;
}

// The element a reference search moves to from this one: its parent; from a
// base document's root, what encloses the derived element that named the
// base (the merged element stands for it), or failing that the root of the
// including document.
TiXmlElement* EnclosingElement(const TiXmlElement* element)
{
    // Elements are reached through the non-const tree the caller holds.
    TiXmlNode* parent = const_cast<TiXmlElement*>(element)->Parent();
    if (parent && parent->ToElement())
        return parent->ToElement();
    if (const TiXmlElement* derived = XmlDocument::GetIncludingElement(element))
        return EnclosingElement(derived);
    XmlDocument* including = XmlDocument::GetIncludingDocument(element);
    return including ? including->RootElement() : nullptr;
}

} // namespace

std::string XMLLoadSave::ExpandLibraryPath(const std::string& text)
{
    const std::string::size_type macro = text.find(kLibraryMacro);
    if (macro == std::string::npos)
        return text;
    return DllDocMapInstance().GetLibraryFolder() + "/"
        + text.substr(macro + std::char_traits<char>::length(kLibraryMacro));
}

bool XMLLoadSave::ReadAttributeText(std::string& text, const TiXmlElement* element, const std::string& attribute,
                                    bool required)
{
    const std::string* raw = element ? element->Attribute(attribute) : nullptr;
    if (!raw) {
        if (required)
            ThrowXmlError(element, attribute);
        return false;
    }
    text = ExpandLibraryPath(*raw);

    const TiXmlElement* parent = EnclosingElement(element);
    for (int replaced = 0;; ++replaced) {
        const std::string::size_type dollar = text.find('$');
        if (dollar == std::string::npos)
            return true;
        const std::string::size_type bang = text.find('!', dollar + 1);
        if (bang == std::string::npos)
            return true;
        const std::string::size_type closing = text.find('!', bang + 1);
        if (closing == std::string::npos)
            return true;
        if (replaced == kMaxReplacements) {
            Platform::Log("XMLLoadSave: references in attribute " + attribute + " of " + element->ValueStr() + " in "
                          + Vabo::SkinFileOf(element, attribute) + " do not end (a reference names itself)");
            break;
        }
        const std::string elementName = text.substr(dollar + 1, bang - dollar - 1);
        const std::string attributeName = text.substr(bang + 1, closing - bang - 1);
        if (!ResolveReference(text, parent, elementName, attributeName, dollar, closing)) {
            if (replaced > 0)
                return true;
            break;
        }
        if (text.size() > kMaxExpandedBytes && text.size() > raw->size()) {
            Platform::Log("XMLLoadSave: references in attribute " + attribute + " of " + element->ValueStr() + " in "
                          + Vabo::SkinFileOf(element, attribute) + " expand beyond " + std::to_string(kMaxExpandedBytes)
                          + " bytes");
            break;
        }
    }
    if (required)
        ThrowXmlError(element, attribute);
    return false;
}

bool XMLLoadSave::ReadXmlText(std::string& target, const TiXmlElement* element, const std::string& attribute,
                              bool required)
{
    std::string text;
    if (!ReadAttributeText(text, element, attribute, required))
        return false;
    if (text.size() > Vabo::kMaxSkinTextBytes) {
        // Not inside a character: UTF-8 continuation bytes are 10xxxxxx.
        std::size_t cut = Vabo::kMaxSkinTextBytes;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
        text.resize(cut);
        Platform::Log("XMLLoadSave: attribute " + attribute + " of " + element->ValueStr() + " in "
                      + Vabo::SkinFileOf(element, attribute) + " is longer than "
                      + std::to_string(Vabo::kMaxSkinTextBytes) + " bytes; cut there");
    }
    target = std::move(text);
    return true;
}

bool XMLLoadSave::ResolveReference(std::string& text, const TiXmlElement* start, const std::string& elementName,
                                   const std::string& attributeName, std::string::size_type dollar,
                                   std::string::size_type closing)
{
    TiXmlElement* candidate = const_cast<TiXmlElement*>(start);
    while (candidate) {
        if (MatchesName(candidate, elementName)) {
            if (const std::string* value = candidate->Attribute(attributeName)) {
                text.replace(dollar, closing - dollar + 1, *value);
                return true;
            }
        }
        candidate = EnclosingElement(candidate);
    }
    return false;
}

bool XMLLoadSave::RejectText(const TiXmlElement* element, const std::string& attribute, const std::string& text,
                             bool required)
{
    if (required)
        ThrowXmlError(element, attribute);
    Platform::Log("XMLLoadSave: attribute " + attribute + " = \"" + text + "\" of " + element->ValueStr() + " in "
                  + Vabo::SkinFileOf(element, attribute) + " is not a value of its type; ignored");
    return false;
}

bool XMLLoadSave::ReportBeyond(const TiXmlElement* element, const std::string& attribute, const std::string& text,
                               const std::string& low, const std::string& high, bool clamped, bool required)
{
    const std::string where = "XMLLoadSave: attribute " + attribute + " = \"" + text + "\" of " + element->ValueStr()
        + " in " + Vabo::SkinFileOf(element, attribute) + " is outside " + low + " to " + high;
    if (clamped) {
        Platform::Log(where + "; kept within it");
        return true;
    }
    Platform::Log(where + (required ? "" : "; ignored"));
    if (required)
        ThrowXmlError(element, attribute);
    return false;
}

void XMLLoadSave::WriteAttribute(TiXmlElement* element, const std::string& attribute, const std::string& text,
                                 bool suppressWriteThrough)
{
    element->SetAttribute(attribute, text);
    if (suppressWriteThrough)
        return;
    for (TiXmlNode* source = XmlDocument::GetSourceNode(element); source && source->ToElement();
         source = XmlDocument::GetSourceNode(source))
        source->ToElement()->SetAttribute(attribute, text);
}

bool XMLLoadSave::FromString(const std::string& text, std::string& value)
{
    value = text;
    return true;
}

bool XMLLoadSave::FromString(const std::string& text, bool& value)
{
    value = text == "true" || text == "True";
    return true;
}

// As atoi(): leading blanks skipped, trailing text ignored, no number is 0;
// out of range saturates rather than being undefined.
bool XMLLoadSave::FromString(const std::string& text, int& value)
{
    const char* start = NumberStart(text);
    const char* end = text.c_str() + text.size();
    long long number = 0;
    const auto result = std::from_chars(start, end, number);
    if (result.ec == std::errc::result_out_of_range)
        number = *start == '-' ? LLONG_MIN : LLONG_MAX;
    else if (result.ec != std::errc())
        number = 0;
    value = static_cast<int>(number < INT_MIN ? INT_MIN : number > INT_MAX ? INT_MAX : number);
    return true;
}

// The whole text must be the number.
bool XMLLoadSave::FromString(const std::string& text, long& value)
{
    const char* start = text.c_str();
    const char* end = start + text.size();
    if (start != end && *start == '+' && start + 1 != end && start[1] != '-')
        ++start;
    long number = 0;
    const auto result = std::from_chars(start, end, number);
    if (result.ec != std::errc() || result.ptr != end)
        return false;
    value = number;
    return true;
}

// As atof() in the "C" locale, whatever the user's locale.
bool XMLLoadSave::FromString(const std::string& text, float& value)
{
    const char* start = NumberStart(text);
    const char* end = text.c_str() + text.size();
    double number = 0.0;
    if (std::from_chars(start, end, number).ec != std::errc())
        number = 0.0;
    // Converting a double beyond float's range is undefined: it saturates.
    constexpr double largest = std::numeric_limits<float>::max();
    value = static_cast<float>(std::isnan(number) ? number : std::clamp(number, -largest, largest));
    return true;
}

namespace {

struct StyleName {
    GdiplusGfxLayer::FontStyle style;
    const char* name;
};

const StyleName kStyleNames[] = {
    {GdiplusGfxLayer::FontStyleRegular, "Regular"},     {GdiplusGfxLayer::FontStyleBold, "Bold"},
    {GdiplusGfxLayer::FontStyleItalic, "Italic"},       {GdiplusGfxLayer::FontStyleUnderline, "Underline"},
    {GdiplusGfxLayer::FontStyleStrikeout, "Strikeout"},
};

// One colour component: an integer as atoi() reads it, but a field with no
// number at all does not count.
bool ReadComponent(const std::string& field, int& component)
{
    const char* start = NumberStart(field);
    const char* digits = *start == '-' ? start + 1 : start;
    if (!std::isdigit(static_cast<unsigned char>(*digits)))
        return false;
    return XMLLoadSave::FromString(field, component);
}

} // namespace

bool XMLLoadSave::FromString(const std::string& text, GdiplusGfxLayer::FontStyle& value)
{
    value = GdiplusGfxLayer::FontStyleRegular;
    for (const StyleName& entry : kStyleNames)
        if (text == entry.name)
            value = entry.style;
    return true;
}

bool XMLLoadSave::FromString(const std::string& text, GdiplusGfxLayer::Color& value)
{
    int components[4] = {};
    std::string::size_type start = 0;
    for (int i = 0; i < 4; ++i) {
        const std::string::size_type comma = text.find(',', start);
        if ((i < 3) == (comma == std::string::npos))
            return false;
        if (!ReadComponent(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start),
                           components[i]))
            return false;
        start = comma + 1;
    }
    value = GdiplusGfxLayer::Color(components[3], components[0], components[1], components[2]);
    return true;
}

bool XMLLoadSave::FromString(const std::string& text, std::shared_ptr<GdiplusGfxLayer::Color>& value)
{
    GdiplusGfxLayer::Color color;
    if (!FromString(text, color))
        return false;
    value = std::make_shared<GdiplusGfxLayer::Color>(color);
    return true;
}

bool XMLLoadSave::ToString(GdiplusGfxLayer::FontStyle value, std::string& text)
{
    for (const StyleName& entry : kStyleNames) {
        if (value == entry.style) {
            text = entry.name;
            return true;
        }
    }
    return false;
}

bool XMLLoadSave::ToString(const GdiplusGfxLayer::Color& value, std::string& text)
{
    text = std::to_string(value.GetRed()) + "," + std::to_string(value.GetGreen()) + ","
        + std::to_string(value.GetBlue()) + "," + std::to_string(value.GetAlpha());
    return true;
}

bool XMLLoadSave::ToString(const std::shared_ptr<GdiplusGfxLayer::Color>& value, std::string& text)
{
    return value && ToString(*value, text);
}

bool XMLLoadSave::ToString(const std::string& value, std::string& text)
{
    text = value;
    return true;
}

bool XMLLoadSave::ToString(const char* value, std::string& text)
{
    text = value ? value : "";
    return true;
}

bool XMLLoadSave::ToString(bool value, std::string& text)
{
    text = value ? "True" : "False";
    return true;
}

bool XMLLoadSave::ToString(int value, std::string& text)
{
    text = std::to_string(value);
    return true;
}

bool XMLLoadSave::ToString(long value, std::string& text)
{
    text = std::to_string(value);
    return true;
}

bool XMLLoadSave::ToString(float value, std::string& text)
{
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream << value;
    text = stream.str();
    return true;
}
