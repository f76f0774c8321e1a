#include "framework/core/XmlDocument.h"

#include "framework/core/ScreenManagerInterface.h"

XmlDocument::XmlDocument(const std::string& fileName)
    : TiXmlDocument(fileName)
{
}

XmlDocument* XmlDocument::Of(const TiXmlNode* node)
{
    if (!node)
        return nullptr;
    const TiXmlDocument* document = node->GetDocument();
    return const_cast<XmlDocument*>(dynamic_cast<const XmlDocument*>(document));
}

std::string XmlDocument::FileNameOf(const TiXmlNode* node)
{
    const TiXmlNode* top = node;
    while (top && top->Parent())
        top = top->Parent();
    return top && top->ToDocument() ? top->ValueStr() : std::string();
}

const XmlDocument::NodeLinks* XmlDocument::FindLinks(const TiXmlNode* node)
{
    const XmlDocument* document = Of(node);
    if (!document)
        return nullptr;
    const auto found = document->links_.find(node);
    return found == document->links_.end() ? nullptr : &found->second;
}

namespace {

// Walks a document and the documents that included it, in order, until the
// field asked for is set.
template <class Field> Field* LookUpAlongIncludes(const TiXmlDocument* document, Field* (*field)(const XmlDocument&))
{
    // Each step moves to a document that named the current one as its base,
    // and bases are loaded anew for every inclusion, so the chain ends; the
    // bound only guards against a link table damaged by hand.
    for (int step = 0; document && step < 1000; ++step) {
        const auto* own = dynamic_cast<const XmlDocument*>(document);
        if (!own)
            return nullptr;
        if (Field* value = field(*own))
            return value;
        document = XmlDocument::GetIncludingDocument(document->RootElement());
    }
    return nullptr;
}

} // namespace

Vabo::ScreenManagerInterface* XmlDocument::GetScreenManager(const TiXmlDocument* document)
{
    return LookUpAlongIncludes<Vabo::ScreenManagerInterface>(
        document, [](const XmlDocument& d) { return d.screenManagerWatch_.expired() ? nullptr : d.screenManager_; });
}

Vabo::Window* XmlDocument::GetOwnerWindow(const TiXmlDocument* document)
{
    return LookUpAlongIncludes<Vabo::Window>(document, [](const XmlDocument& d) { return d.ownerWindow_; });
}

void XmlDocument::SetScreenManager(TiXmlDocument* document, Vabo::ScreenManagerInterface* manager)
{
    if (auto* own = dynamic_cast<XmlDocument*>(document)) {
        own->screenManager_ = manager;
        own->screenManagerWatch_ = manager ? manager->Watch() : std::weak_ptr<void>();
    }
}

void XmlDocument::SetOwnerWindow(TiXmlDocument* document, Vabo::Window* window)
{
    if (auto* own = dynamic_cast<XmlDocument*>(document))
        own->ownerWindow_ = window;
}

XmlDocument* XmlDocument::GetIncludingDocument(const TiXmlNode* node)
{
    const NodeLinks* links = FindLinks(node);
    return links ? links->includingDocument.lock().get() : nullptr;
}

void XmlDocument::SetIncludingDocument(TiXmlNode* node, XmlDocument* including)
{
    XmlDocument* document = Of(node);
    if (!document)
        return;
    NodeLinks& links = document->links_[node];
    links.includingDocument = including ? including->weak_from_this() : std::weak_ptr<XmlDocument>();
    links.includingElement = nullptr;
}

TiXmlElement* XmlDocument::GetIncludingElement(const TiXmlNode* node)
{
    const NodeLinks* links = FindLinks(node);
    if (!links || links->includingDocument.expired())
        return nullptr;
    return links->includingElement;
}

void XmlDocument::SetIncludingElement(TiXmlNode* node, TiXmlElement* derived)
{
    SetIncludingDocument(node, Of(derived));
    if (XmlDocument* document = Of(node))
        document->links_[node].includingElement = derived;
}

TiXmlElement* XmlDocument::GetResolvedBase(const TiXmlNode* derived, std::shared_ptr<XmlDocument>& document)
{
    const NodeLinks* links = FindLinks(derived);
    document = links ? links->resolvedDocument.lock() : nullptr;
    return document ? links->resolvedElement : nullptr;
}

void XmlDocument::SetResolvedBase(TiXmlNode* derived, TiXmlElement* merged)
{
    XmlDocument* document = Of(derived);
    XmlDocument* mergedDocument = Of(merged);
    if (!document || !mergedDocument)
        return;
    NodeLinks& links = document->links_[derived];
    links.resolvedDocument = mergedDocument->weak_from_this();
    links.resolvedElement = merged;
}

TiXmlNode* XmlDocument::GetSourceNode(const TiXmlNode* copy)
{
    const NodeLinks* links = FindLinks(copy);
    if (!links || !links->copiedFromDerived)
        return nullptr;
    if (links->sourceTracked && links->sourceDocument.expired())
        return nullptr;
    return links->sourceNode;
}

void XmlDocument::MarkCopiedFromDerived(TiXmlNode* copy, TiXmlNode* source)
{
    XmlDocument* document = Of(copy);
    if (!document)
        return;
    NodeLinks& links = document->links_[copy];
    links.copiedFromDerived = true;
    links.sourceNode = source;
    XmlDocument* sourceDocument = Of(source);
    links.sourceDocument = sourceDocument ? sourceDocument->weak_from_this() : std::weak_ptr<XmlDocument>();
    links.sourceTracked = !links.sourceDocument.expired();
}

bool XmlDocument::IsCopiedFromDerived(const TiXmlNode* node)
{
    const NodeLinks* links = FindLinks(node);
    return links && links->copiedFromDerived;
}
