#pragma once
// The process-wide map of XML documents: decides where a file name points
// (application folder, framework library folder, or an absolute name), loads
// documents and keeps them alive, and remembers each creatable type's default
// definition file for "BaseXML" = "default".
#include "framework/core/XmlDocument.h"

#include <list>
#include <map>
#include <memory>
#include <string>

class _DocMap {
public:
    // Application folder: the working directory. Library folder:
    // $VINTREL_LIB/lib/VABO/XML when that exists, else ../lib/VABO/XML/ from
    // the working directory.
    _DocMap();
    _DocMap(const _DocMap&) = delete;
    _DocMap& operator=(const _DocMap&) = delete;

    // Loads the file anew on every call (the name resolved unless asIs) and
    // keeps the document; null, with the reason in the log, when it cannot
    // be read, fails the checks of XmlSource or cannot be parsed.
    std::shared_ptr<XmlDocument> GetDocument(const std::string& fileName, bool asIs = false);
    void AddDocument(std::shared_ptr<XmlDocument> document);
    // Drops the first entry holding this document; the document dies unless
    // someone else still holds it.
    void RemoveDocument(const TiXmlDocument* document);
    const std::list<std::shared_ptr<XmlDocument>>& GetDocuments() const { return documents_; }

    // Where a file name points: "$VABO..." into the library folder, an
    // absolute name unchanged, anything else below the application folder.
    std::string ResolveName(const std::string& fileName) const;

    // The first registration of a type wins.
    void SetDefaultBaseXML(const std::string& typeName, const std::string& fileName);
    // Empty when the type has no default definition.
    std::string GetDefaultBaseXML(const std::string& typeName) const;

    // Both store the absolute form of the path, completed against the
    // working directory.
    void SetAppFolder(const std::string& path);
    void SetLibraryFolder(const std::string& path);
    const std::string& GetAppFolder() const { return appFolder_; }
    const std::string& GetLibraryFolder() const { return libFolder_; }

private:
    std::list<std::shared_ptr<XmlDocument>> documents_;
    std::string appFolder_;
    std::string libFolder_;
    std::map<std::string, std::string> defaultBaseXML_;
};

// The one document map of the process.
_DocMap& DllDocMapInstance();
