#pragma once
// A TinyXML document together with the links the XML layer keeps beside the
// XML itself: the screen manager and owner window of the objects built from
// it, and for its nodes which document included a base document and which
// nodes were copied from a derived element. The links live and die with the
// document and are never written to a file.
#include <memory>
#include <string>
#include <tinyxml.h>
#include <unordered_map>

namespace Vabo {
class ScreenManagerInterface;
class Window;
} // namespace Vabo

class XmlDocument : public TiXmlDocument, public std::enable_shared_from_this<XmlDocument> {
public:
    explicit XmlDocument(const std::string& fileName);
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // The XmlDocument the node belongs to; null for a node outside one.
    static XmlDocument* Of(const TiXmlNode* node);

    // The file name of the document the node is in (the value of its
    // topmost node); empty for a node outside a document.
    static std::string FileNameOf(const TiXmlNode* node);

    // Context pointers, looked up along the chain of including documents.
    static Vabo::ScreenManagerInterface* GetScreenManager(const TiXmlDocument* document);
    static Vabo::Window* GetOwnerWindow(const TiXmlDocument* document);
    // Setting on a document that is not an XmlDocument does nothing.
    static void SetScreenManager(TiXmlDocument* document, Vabo::ScreenManagerInterface* manager);
    static void SetOwnerWindow(TiXmlDocument* document, Vabo::Window* window);

    // The document whose element named this node's document as its base;
    // null when none was set or that document is gone.
    static XmlDocument* GetIncludingDocument(const TiXmlNode* node);
    static void SetIncludingDocument(TiXmlNode* node, XmlDocument* including);
    // The derived element whose "BaseXML" named this base root, while its
    // document is alive; null otherwise. Setting it also sets the
    // including document to that element's document.
    static TiXmlElement* GetIncludingElement(const TiXmlNode* node);
    static void SetIncludingElement(TiXmlNode* node, TiXmlElement* derived);

    // The merged element an earlier "BaseXML" resolution of this derived
    // element made, with the document it lives in; null while none is alive.
    // Resolving once per element keeps documents from piling up when the same
    // element is read again (every show of a window scans its children).
    static TiXmlElement* GetResolvedBase(const TiXmlNode* derived, std::shared_ptr<XmlDocument>& document);
    static void SetResolvedBase(TiXmlNode* derived, TiXmlElement* merged);

    // For a node copied from a derived element: the node it was copied from,
    // while that node's document is alive; null otherwise.
    static TiXmlNode* GetSourceNode(const TiXmlNode* copy);
    static void MarkCopiedFromDerived(TiXmlNode* copy, TiXmlNode* source);
    static bool IsCopiedFromDerived(const TiXmlNode* node);

private:
    struct NodeLinks {
        std::weak_ptr<XmlDocument> includingDocument;
        TiXmlElement* includingElement = nullptr;
        bool copiedFromDerived = false;
        TiXmlNode* sourceNode = nullptr;
        // Set when the source lives in a shared document whose end we can see.
        std::weak_ptr<XmlDocument> sourceDocument;
        bool sourceTracked = false;
        std::weak_ptr<XmlDocument> resolvedDocument;
        TiXmlElement* resolvedElement = nullptr;
    };

    static const NodeLinks* FindLinks(const TiXmlNode* node);

    Vabo::ScreenManagerInterface* screenManager_ = nullptr;
    // Expires with the screen manager, which may die before the document.
    std::weak_ptr<void> screenManagerWatch_;
    Vabo::Window* ownerWindow_ = nullptr;
    std::unordered_map<const TiXmlNode*, NodeLinks> links_;
};
