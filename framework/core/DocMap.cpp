#include "framework/core/DocMap.h"

#include "framework/core/Singleton.h"
#include "framework/core/XmlSource.h"
#include "platform/Log.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const char* const kLibraryMacro = "$VABO";

std::string AbsoluteForm(const std::string& path)
{
    std::error_code error;
    fs::path absolute = fs::absolute(fs::path(path), error);
    if (error)
        return path;
    // "." names the folder itself: keep "/work/app", not "/work/app/.".
    if (absolute.filename() == ".")
        absolute = absolute.parent_path();
    return absolute.string();
}

bool Exists(const std::string& path)
{
    std::error_code error;
    return fs::exists(fs::path(path), error);
}

} // namespace

_DocMap::_DocMap()
{
    SetAppFolder(".");
    if (const char* vintrelLib = std::getenv("VINTREL_LIB")) {
        const std::string candidate = std::string(vintrelLib) + "/lib/VABO/XML";
        if (Exists(AbsoluteForm(candidate))) {
            SetLibraryFolder(candidate);
            return;
        }
    }
    SetLibraryFolder("../lib/VABO/XML/");
}

std::string _DocMap::ResolveName(const std::string& fileName) const
{
    const std::string::size_type macro = fileName.find(kLibraryMacro);
    if (macro != std::string::npos)
        return libFolder_ + "/" + fileName.substr(macro + std::char_traits<char>::length(kLibraryMacro));
    if (!fileName.empty() && fileName[0] == '/')
        return fileName;
    return appFolder_ + "/" + fileName;
}

std::shared_ptr<XmlDocument> _DocMap::GetDocument(const std::string& fileName, bool asIs)
{
    const std::string resolved = asIs ? fileName : ResolveName(fileName);
    std::string why;
    std::string text;
    auto document = std::make_shared<XmlDocument>(resolved);
    if (XmlSource::Read(resolved, text, why)) {
        document->Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
        if (document->Error()) {
            why = document->ErrorDesc();
            why +=
                " at line " + std::to_string(document->ErrorRow()) + ", column " + std::to_string(document->ErrorCol());
        }
    }
    if (!why.empty()) {
        Platform::Log("DocMap::GetDocument - failed to load XML file " + resolved);
        Platform::Log("DocMap::GetDocument - " + resolved + ": " + why);
        return nullptr;
    }
    documents_.push_back(document);
    return document;
}

void _DocMap::AddDocument(std::shared_ptr<XmlDocument> document)
{
    documents_.push_back(std::move(document));
}

void _DocMap::RemoveDocument(const TiXmlDocument* document)
{
    const auto found = std::find_if(documents_.begin(), documents_.end(),
                                    [document](const auto& held) { return held.get() == document; });
    if (found != documents_.end())
        documents_.erase(found);
}

void _DocMap::SetDefaultBaseXML(const std::string& typeName, const std::string& fileName)
{
    defaultBaseXML_.emplace(typeName, fileName);
}

std::string _DocMap::GetDefaultBaseXML(const std::string& typeName) const
{
    const auto found = defaultBaseXML_.find(typeName);
    return found == defaultBaseXML_.end() ? std::string() : found->second;
}

void _DocMap::SetAppFolder(const std::string& path)
{
    appFolder_ = AbsoluteForm(path);
}

void _DocMap::SetLibraryFolder(const std::string& path)
{
    libFolder_ = AbsoluteForm(path);
}

_DocMap& DllDocMapInstance()
{
    return Vabo::SingletonHolder<_DocMap>::Instance();
}
