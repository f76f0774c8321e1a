#include "framework/core/XMLLoadSave.h"

#include "framework/core/DocMap.h"
#include "framework/core/SkinFileOf.h"
#include "platform/EditorHook.h"
#include "platform/Log.h"

#include <algorithm>
#include <stdexcept>

namespace {

// A base naming itself, directly or through others, would load bases for
// ever; no real chain of definitions comes near this depth.
const int kMaxBaseDepth = 32;
thread_local int baseDepth = 0;

struct BaseDepthGuard {
    BaseDepthGuard() { ++baseDepth; }
    ~BaseDepthGuard() { --baseDepth; }
};

} // namespace

const char* XMLLoadSave::XMLLoadSaveException::what() const noexcept
{
    return "XMLLoadSaveException - no working xml config files found in search path";
}

XMLLoadSave::AttributeAdjustor::AttributeAdjustor(TiXmlElement* element, const std::string& attribute,
                                                  const std::string& value)
{
    if (element)
        element->SetAttribute(attribute, value);
}

XMLLoadSave::XMLLoadSave()
    : loading(false)
    , typeName("NULL")
{
}

XMLLoadSave& XMLLoadSave::operator=(const XMLLoadSave& other)
{
    if (this != &other) {
        ReleaseBaseDocuments();
        loading = other.loading;
        typeName = other.typeName;
        baseDocuments = other.baseDocuments;
    }
    return *this;
}

XMLLoadSave::~XMLLoadSave()
{
    ReleaseBaseDocuments();
}

void XMLLoadSave::ReleaseBaseDocuments() noexcept
{
    if (baseDocuments.empty())
        return;
    try {
        _DocMap& map = DllDocMapInstance();
        for (const auto& document : baseDocuments)
            map.RemoveDocument(document.get());
    } catch (const std::logic_error&) {
        // The map is already gone at exit and has released its list; our
        // own references go with this object.
    }
    baseDocuments.clear();
}

TiXmlElement* XMLLoadSave::LoadXML(const std::string& fileName, TiXmlElement* including, bool asIs)
{
    std::shared_ptr<XmlDocument> document;
    return LoadDocument(fileName, including, asIs, document);
}

TiXmlElement* XMLLoadSave::LoadXMLOrThrow(const std::string& fileName, TiXmlElement* including, bool asIs)
{
    std::shared_ptr<XmlDocument> document;
    return LoadDocumentOrThrow(fileName, including, asIs, document);
}

TiXmlElement* XMLLoadSave::LoadOwnXML(const std::string& fileName, TiXmlElement* including)
{
    std::shared_ptr<XmlDocument> document;
    TiXmlElement* root = LoadDocument(fileName, including, false, document);
    if (root)
        RecordBaseDocument(document);
    return root;
}

TiXmlElement* XMLLoadSave::LoadOwnXMLOrThrow(const std::string& fileName)
{
    std::shared_ptr<XmlDocument> document;
    TiXmlElement* root = LoadDocumentOrThrow(fileName, nullptr, false, document);
    RecordBaseDocument(document);
    return root;
}

void XMLLoadSave::TakeDocuments(XMLLoadSave& other)
{
    for (std::shared_ptr<XmlDocument>& document : other.baseDocuments)
        RecordBaseDocument(document);
    other.baseDocuments.clear();
}

TiXmlElement* XMLLoadSave::LoadDocument(const std::string& fileName, TiXmlElement* including, bool asIs,
                                        std::shared_ptr<XmlDocument>& document)
{
    _DocMap& map = DllDocMapInstance();
    document = map.GetDocument(fileName, asIs);
    if (!document)
        return nullptr;
    TiXmlElement* root = document->RootElement();
    if (!root) {
        Platform::Log("XMLLoadSave::LoadXML - " + document->ValueStr() + " holds no element");
        map.RemoveDocument(document.get());
        return nullptr;
    }
    TiXmlElement* result = nullptr;
    try {
        result = ResolveBaseXML(root);
    } catch (...) {
        // A document whose bases fail is of no use to anyone: it leaves the
        // map at once instead of staying until exit.
        map.RemoveDocument(document.get());
        throw;
    }
    if (including && result) {
        const TiXmlDocument* includingDocument = including->GetDocument();
        TiXmlDocument* resultDocument = result->GetDocument();
        XmlDocument::SetScreenManager(resultDocument, XmlDocument::GetScreenManager(includingDocument));
        XmlDocument::SetOwnerWindow(resultDocument, XmlDocument::GetOwnerWindow(includingDocument));
    }
    return result;
}

TiXmlElement* XMLLoadSave::LoadDocumentOrThrow(const std::string& fileName, TiXmlElement* including, bool asIs,
                                               std::shared_ptr<XmlDocument>& document)
{
    if (TiXmlElement* result = LoadDocument(fileName, including, asIs, document))
        return result;
    Platform::Log(fileName + " is malformed or missing");
    Platform::OpenInEditor(asIs ? fileName : DllDocMapInstance().ResolveName(fileName));
    throw XMLLoadSaveException();
}

TiXmlElement* XMLLoadSave::ResolveBaseXML(TiXmlElement* element)
{
    if (!element)
        return nullptr;
    const std::string* baseAttribute = element->Attribute(std::string("BaseXML"));
    if (!baseAttribute || baseAttribute->empty())
        return element;
    std::shared_ptr<XmlDocument> resolved;
    if (TiXmlElement* merged = XmlDocument::GetResolvedBase(element, resolved)) {
        RecordBaseDocument(resolved);
        return merged;
    }
    std::string baseName = *baseAttribute;
    if (baseName == "default")
        baseName = DllDocMapInstance().GetDefaultBaseXML(element->ValueStr());

    if (baseDepth >= kMaxBaseDepth) {
        Platform::Log("XMLLoadSave: BaseXML chain deeper than " + std::to_string(kMaxBaseDepth) + " at " + baseName
                      + " in " + XmlDocument::FileNameOf(element) + "; a base names itself");
        ThrowXmlError(element, "BaseXML");
    }
    TiXmlElement* base = nullptr;
    std::shared_ptr<XmlDocument> loaded;
    {
        BaseDepthGuard depth;
        base = LoadDocumentOrThrow(baseName, nullptr, false, loaded);
    }
    // The merged element lives in the farthest base, which the nested
    // resolution recorded; this level's document is recorded here so that
    // it leaves the map with this object too.
    baseDocuments.push_back(loaded);
    XmlDocument::SetIncludingElement(base, element);
    XmlDocument::SetResolvedBase(element, base);

    for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute; attribute = attribute->Next()) {
        const std::string& name = attribute->NameTStr();
        if (name == "BaseXML")
            continue;
        if (name == "Name") {
            if (const std::string* oldName = base->Attribute(name))
                AddChildElement(base, "Alias")->SetAttribute("Name", *oldName);
        }
        base->SetAttribute(name, attribute->ValueStr());
    }
    for (TiXmlNode* child = element->FirstChild(); child; child = child->NextSibling()) {
        TiXmlNode* copy = base->LinkEndChild(child->Clone());
        XmlDocument::MarkCopiedFromDerived(copy, child);
    }
    return base;
}

void XMLLoadSave::RecordBaseDocument(const std::shared_ptr<XmlDocument>& document)
{
    if (std::find(baseDocuments.rbegin(), baseDocuments.rend(), document) == baseDocuments.rend())
        baseDocuments.push_back(document);
}

std::vector<TiXmlElement*> XMLLoadSave::GetChildren(TiXmlElement* element, const std::string& tag)
{
    std::vector<TiXmlElement*> children;
    if (!element)
        return children;
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        TiXmlElement* resolved = ResolveBaseXML(child);
        if (tag.empty() || tag == resolved->ValueStr())
            children.push_back(resolved);
    }
    return children;
}

bool XMLLoadSave::HasChild(const TiXmlElement* element, const std::string& tag)
{
    if (!element)
        return false;
    for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        if (child->ValueStr() == tag)
            return true;
    return false;
}

TiXmlElement* XMLLoadSave::GetChild(TiXmlElement* element, const std::string& tag)
{
    if (element) {
        for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            if (tag.empty() || child->ValueStr() == tag)
                return ResolveBaseXML(child);
    }
    ThrowXmlError(element, tag);
}

TiXmlElement* XMLLoadSave::GetChildOrSelf(TiXmlElement* element, const std::string& tag)
{
    return HasChild(element, tag) ? GetChild(element, tag) : element;
}

TiXmlElement* XMLLoadSave::AddChildElement(TiXmlElement* element, const std::string& tag)
{
    if (!element)
        return nullptr;
    return element->LinkEndChild(new TiXmlElement(tag))->ToElement();
}

bool XMLLoadSave::MatchesName(TiXmlElement* element, const std::string& name)
{
    if (!element)
        return false;
    const std::string* own = element->Attribute(std::string("Name"));
    if (own && *own == name)
        return true;
    // Only the element's own "Alias" children: resolving every child here
    // would load the bases of elements that a reference merely passes by.
    for (const TiXmlElement* alias = element->FirstChildElement("Alias"); alias;
         alias = alias->NextSiblingElement("Alias")) {
        const std::string* aliasName = alias->Attribute(std::string("Name"));
        if (aliasName && *aliasName == name)
            return true;
    }
    return false;
}

void XMLLoadSave::ReportFailedLoader(const std::string& typeName, const TiXmlElement* element)
{
    Platform::Log("XMLLoadSave: " + typeName + " could not be loaded from element "
                  + (element ? element->ValueStr() + " in " + XmlDocument::FileNameOf(element) : "(none)"));
}

void XMLLoadSave::ThrowXmlError(const TiXmlElement* element, const std::string& name)
{
    std::string message = "XML Error: Filename = ";
    if (!element) {
        message += "(none) Element = (none) Attribute = " + name;
    } else {
        std::vector<const TiXmlElement*> path;
        for (const TiXmlNode* node = element; node && node->ToElement(); node = node->Parent())
            path.insert(path.begin(), node->ToElement());
        // A bad value names the file that set it; a missing one the skin's.
        message += Vabo::SkinFileOf(element, element->Attribute(name) ? name : std::string()) + " ";
        for (const TiXmlElement* step : path)
            message += step->ValueStr() + " -> ";
        message += " Element = " + element->ValueStr() + " Attribute = " + name;
    }
    Platform::Log(message);
    throw XMLLoadSaveException();
}
