#pragma once
// Base of every object configured from XML: loads skin and definition
// documents, merges "BaseXML" inheritance, finds child elements and reads
// typed attributes with the "$VABO" and "$Element!Attribute!" macros. A
// missing required attribute or child is logged as an "XML Error" and thrown
// as XMLLoadSave::XMLLoadSaveException.
#include "framework/core/ClassXMLName.h"
#include "framework/core/SkinLimits.h"
#include "framework/core/XmlDocument.h"
#include "framework/drawing/Color.h"
#include "framework/drawing/FontStyle.h"

#include <exception>
#include <memory>
#include <string>
#include <cmath>
#include <tinyxml.h>
#include <type_traits>
#include <vector>

class XMLLoadSave {
public:
    class XMLLoadSaveException : public std::exception {
    public:
        const char* what() const noexcept override;
    };

    // Writes a fixed value into an attribute of the element in its
    // constructor; listed before a main base, it adjusts what that base's
    // loaders then read.
    class AttributeAdjustor {
    public:
        AttributeAdjustor(TiXmlElement* element, const std::string& attribute, const std::string& value);
    };

    XMLLoadSave();
    // A copy names the same base documents and keeps them alive as long as
    // it lives, whichever of the two dies first.
    XMLLoadSave(const XMLLoadSave& other) = default;
    // Releases this object's base documents, then shares the other's.
    XMLLoadSave& operator=(const XMLLoadSave& other);
    virtual ~XMLLoadSave();

    bool IsLoading() const { return loading; }
    void SetLoading(bool value) { loading = value; }
    const std::string& GetTypeName() const { return typeName; }
    void SetTypeName(const std::string& name) { typeName = name; }

    // The root element of the loaded document with its BaseXML merged in,
    // or null. With an including element, the new document takes over that
    // element's screen manager and owner window.
    TiXmlElement* LoadXML(const std::string& fileName, TiXmlElement* including = nullptr, bool asIs = false);
    // As LoadXML, but a document that cannot be loaded is logged, offered to
    // the editor and thrown as XMLLoadSaveException.
    TiXmlElement* LoadXMLOrThrow(const std::string& fileName, TiXmlElement* including = nullptr, bool asIs = false);
    // As LoadXML, but the document itself is kept with this object's base
    // documents too: it leaves the document map when this object dies (a
    // screen built anew on every visit, a box or a tip built for one showing).
    TiXmlElement* LoadOwnXML(const std::string& fileName, TiXmlElement* including = nullptr);
    // As LoadOwnXML, but failing as LoadXMLOrThrow does.
    TiXmlElement* LoadOwnXMLOrThrow(const std::string& fileName);
    // Takes over the documents the other object keeps, which then live as
    // long as this object.
    void TakeDocuments(XMLLoadSave& other);
    // The element itself, or the root of its base document with the
    // element's attributes and children merged in.
    TiXmlElement* ResolveBaseXML(TiXmlElement* element);

    // Child elements (comments and text between them are skipped), resolved,
    // whose resolved tag equals the tag ("" for all).
    std::vector<TiXmlElement*> GetChildren(TiXmlElement* element, const std::string& tag = "");
    static bool HasChild(const TiXmlElement* element, const std::string& tag);
    // The first child element with that tag ("" for any), resolved; the XML
    // error when there is none.
    TiXmlElement* GetChild(TiXmlElement* element, const std::string& tag = "");
    TiXmlElement* GetChildOrSelf(TiXmlElement* element, const std::string& tag);
    static TiXmlElement* AddChildElement(TiXmlElement* element, const std::string& tag);
    // The element's "Name", or the "Name" of one of its "Alias" children.
    bool MatchesName(TiXmlElement* element, const std::string& name);

    // Reads the attribute into target (string, bool, font style, colour).
    // Returns false with target unchanged when the attribute is absent or
    // its text is not a value of the type; when required, that is the XML
    // error instead.
    template <class T>
    bool ReadXmlAttribute(T& target, const TiXmlElement* element, const std::string& attribute, bool required);
    // Reads a number (int, long, float), which must state its range: a value
    // beyond it is clamped or refused as the range says, and either is logged
    // naming the skin file and the attribute.
    template <class T>
    bool ReadXmlAttribute(T& target, const TiXmlElement* element, const std::string& attribute, bool required,
                          const Vabo::SkinRange<T>& range);

    // Reads a text the skin shows (a label, a title, a tool tip). One longer
    // than kMaxSkinTextBytes is cut at the last whole character within it,
    // and that is logged naming the attribute, the skin file and the limit.
    bool ReadXmlText(std::string& target, const TiXmlElement* element, const std::string& attribute, bool required);

    // Builds a font (GdiplusGfxLayer::Font) from the child element with the
    // tag: "Family", "Size" and "Style" required, "Conversion" "Point",
    // "Width" or else height. Returns whether the child was there; a missing
    // required child is the XML error.
    template <class Font>
    bool ReadXmlChild(std::shared_ptr<Font>& target, TiXmlElement* element, const std::string& tag, bool required);

    // Builds a font from a "Font" element itself, with the attributes above.
    template <class Font> void ReadXmlFont(std::shared_ptr<Font>& target, TiXmlElement* fontElement);

    // Writes the value's text; unless suppressed, also onto the node a
    // merged copy came from, so the edit lands in the document it came from.
    // False only for a null element.
    template <class T>
    bool SetXmlAttribute(TiXmlElement* element, const std::string& attribute, const T& value,
                         bool suppressWriteThrough = false);

    // "...$VABO/x" becomes the library folder, "/" and "/x".
    static std::string ExpandLibraryPath(const std::string& text);
    // Replaces text[dollar..closing] by the attribute of the nearest element
    // at or above start that answers to elementName. From a merged base
    // root the search goes on above the derived element it stands for.
    bool ResolveReference(std::string& text, const TiXmlElement* start, const std::string& elementName,
                          const std::string& attributeName, std::string::size_type dollar,
                          std::string::size_type closing);

    // Logs "XML Error: Filename = ..." naming the element and the attribute
    // or tag, then throws XMLLoadSaveException.
    [[noreturn]] static void ThrowXmlError(const TiXmlElement* element, const std::string& name);

    // Converters between attribute text and values; false when the text is
    // not a value of the type (from) or the value has no text (to).
    static bool FromString(const std::string& text, std::string& value);
    static bool FromString(const std::string& text, bool& value);
    static bool FromString(const std::string& text, int& value);
    static bool FromString(const std::string& text, long& value);
    static bool FromString(const std::string& text, float& value);
    static bool FromString(const std::string& text, GdiplusGfxLayer::FontStyle& value);
    // "red,green,blue,alpha"; exactly four numbers.
    static bool FromString(const std::string& text, GdiplusGfxLayer::Color& value);
    static bool FromString(const std::string& text, std::shared_ptr<GdiplusGfxLayer::Color>& value);
    static bool ToString(const std::string& value, std::string& text);
    static bool ToString(const char* value, std::string& text);
    static bool ToString(bool value, std::string& text);
    static bool ToString(int value, std::string& text);
    static bool ToString(long value, std::string& text);
    static bool ToString(float value, std::string& text);
    // Only a single style has a name; other values leave the text alone.
    static bool ToString(GdiplusGfxLayer::FontStyle value, std::string& text);
    static bool ToString(const GdiplusGfxLayer::Color& value, std::string& text);
    static bool ToString(const std::shared_ptr<GdiplusGfxLayer::Color>& value, std::string& text);

    // Runs T's loader on the element once, as object's class T: the type
    // name becomes T's, the loading flag is set meanwhile, and a loader that
    // fails throws XMLLoadSaveException.
    template <class T>
    static void LoadOrThrow(TiXmlElement* element, T* object, bool (T::*loader)(TiXmlElement*) = &T::LoadFromXML);

protected:
    // A number outside its range [low, high]: clamped says it was kept at
    // the nearer end, else it is rejected as RejectText does. Logged with the
    // attribute and the skin file that set it.
    bool ReportBeyond(const TiXmlElement* element, const std::string& attribute, const std::string& text,
                      const std::string& low, const std::string& high, bool clamped, bool required);

    bool loading;
    std::string typeName;
    std::vector<std::shared_ptr<XmlDocument>> baseDocuments;

private:
    // Keeps a base document alive for this object (once).
    void RecordBaseDocument(const std::shared_ptr<XmlDocument>& document);
    // Takes this object's base documents out of the document map.
    void ReleaseBaseDocuments() noexcept;
    // LoadXML and LoadXMLOrThrow, handing back the document they loaded.
    TiXmlElement* LoadDocument(const std::string& fileName, TiXmlElement* including, bool asIs,
                               std::shared_ptr<XmlDocument>& document);
    TiXmlElement* LoadDocumentOrThrow(const std::string& fileName, TiXmlElement* including, bool asIs,
                                      std::shared_ptr<XmlDocument>& document);
    // The attribute's text with every macro expanded; false when it is
    // absent or a reference cannot be resolved (the XML error if required).
    bool ReadAttributeText(std::string& text, const TiXmlElement* element, const std::string& attribute, bool required);
    // A text that does not convert: the XML error when required, else logged.
    bool RejectText(const TiXmlElement* element, const std::string& attribute, const std::string& text, bool required);
    static void ReportFailedLoader(const std::string& typeName, const TiXmlElement* element);
    void WriteAttribute(TiXmlElement* element, const std::string& attribute, const std::string& text,
                        bool suppressWriteThrough);
};

template <class T>
bool XMLLoadSave::ReadXmlAttribute(T& target, const TiXmlElement* element, const std::string& attribute, bool required)
{
    static_assert(!std::is_arithmetic_v<T> || std::is_same_v<T, bool>,
                  "a number read from a skin states its range (SkinLimits.h)");
    std::string text;
    if (!ReadAttributeText(text, element, attribute, required))
        return false;
    T value = target;
    if (!FromString(text, value))
        return RejectText(element, attribute, text, required);
    target = std::move(value);
    return true;
}

template <class T>
bool XMLLoadSave::ReadXmlAttribute(T& target, const TiXmlElement* element, const std::string& attribute, bool required,
                                   const Vabo::SkinRange<T>& range)
{
    static_assert(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>, "a range is for numbers");
    std::string text;
    if (!ReadAttributeText(text, element, attribute, required))
        return false;
    T value = target;
    if (!FromString(text, value))
        return RejectText(element, attribute, text, required);
    bool finite = true;
    if constexpr (std::is_floating_point_v<T>)
        finite = std::isfinite(value);
    if (!finite || value < range.low || value > range.high) {
        std::string low, high;
        ToString(range.low, low);
        ToString(range.high, high);
        const bool clamp = finite && range.beyond == Vabo::Beyond::Clamp;
        if (!ReportBeyond(element, attribute, text, low, high, clamp, required))
            return false;
        value = value < range.low ? range.low : range.high;
    }
    target = value;
    return true;
}

template <class Font>
bool XMLLoadSave::ReadXmlChild(std::shared_ptr<Font>& target, TiXmlElement* element, const std::string& tag,
                               bool required)
{
    if (!HasChild(element, tag)) {
        if (required)
            ThrowXmlError(element, tag);
        return false;
    }
    ReadXmlFont(target, GetChild(element, tag));
    return true;
}

template <class Font> void XMLLoadSave::ReadXmlFont(std::shared_ptr<Font>& target, TiXmlElement* fontElement)
{
    std::string family;
    float size = 0.0f;
    GdiplusGfxLayer::FontStyle style = GdiplusGfxLayer::FontStyleRegular;
    std::string conversion;
    ReadXmlAttribute(family, fontElement, "Family", true);
    ReadXmlAttribute(size, fontElement, "Size", true, Vabo::kSkinFontSize);
    ReadXmlAttribute(style, fontElement, "Style", true);
    ReadXmlAttribute(conversion, fontElement, "Conversion", false);
    const int mode = conversion == "Point" ? 2 : conversion == "Width" ? 1 : 0;
    target = std::make_shared<Font>(family, size, static_cast<int>(style), mode);
}

template <class T>
bool XMLLoadSave::SetXmlAttribute(TiXmlElement* element, const std::string& attribute, const T& value,
                                  bool suppressWriteThrough)
{
    if (!element)
        return false;
    std::string text;
    if (ToString(value, text))
        WriteAttribute(element, attribute, text, suppressWriteThrough);
    return true;
}

template <class T> void XMLLoadSave::LoadOrThrow(TiXmlElement* element, T* object, bool (T::*loader)(TiXmlElement*))
{
    XMLLoadSave& base = *object;
    base.typeName = ClassXMLName<T>();
    struct Restore {
        XMLLoadSave& base;
        bool loading;
        ~Restore() { base.loading = loading; }
    } restore{base, base.loading};
    base.loading = true;
    if (!(object->*loader)(element)) {
        ReportFailedLoader(base.typeName, element);
        throw XMLLoadSaveException();
    }
}
