#include "framework/host/TitleWindow.h"

#include <tinyxml.h>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/Registration.h"

namespace Vabo {

namespace {

RegisterClass<TitleWindow> titleWindowClass("Vabo::TitleWindow", "$VABO/Objects/TitleWindow/TitleWindow.xml",
                                            [](TiXmlElement* element) -> GuiObject* {
                                                return new TitleWindow(element);
                                            });

} // namespace

TitleWindow::TitleWindow(TiXmlElement* element)
    : AppWindow(element)
{
    if (element)
        RegisterLoader<TitleWindow>(element, this);
}

TitleWindow::~TitleWindow()
{
    if (content_) {
        DllGlobalObjectFactoryInstance().RemoveAlias(content_->GetName(), this);
        RemoveChild(content_.get(), false);
    }
}

bool TitleWindow::LoadFromXML(TiXmlElement* element)
{
    std::string objectXml;
    ReadXmlAttribute(objectXml, element, "ObjectXML", true);
    // A content document that cannot be loaded or built leaves the window
    // empty; the document map and the factory have said why. The document
    // leaves the map with the window, as a box built for one showing does.
    TiXmlElement* root = LoadOwnXML(objectXml, element);
    if (root)
        content_ = DllGlobalObjectFactoryInstance().Create(root);
    if (!content_)
        return true;

    GridVal top(0.0f, 0.0f);
    GridVal height(0.0f, 1.0f);
    if (GuiObject* bar = GetXMLObject<GuiObject>(this, "Move")) {
        LayoutObject record;
        if (GetLayoutObject(bar, record)) {
            top = record.height;
            height = GridVal(0.0f, 1.0f) - record.height;
        }
    }
    AddObjectAt(content_.get(), GridVal(0.0f, 0.0f), top, GridVal(0.0f, 1.0f), height);
    content_->SetUnselectable(0);
    DllGlobalObjectFactoryInstance().RegisterAliases(content_->GetName(), content_.get(), this);
    return true;
}

} // namespace Vabo
