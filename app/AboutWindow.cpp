#include "app/AboutWindow.h"

#include "app/ShellOpen.h"
#include "app/ShowMessageBox.h"
#include "audio/AppState.h"
#include "framework/core/DocMap.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/KeyCommandSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/widgets/Text.h"
#include "platform/Log.h"

#include <tinyxml.h>

namespace {

using Vabo::Signal::Activate;

Vabo::RegisterClass<AboutWindow> aboutClass("AboutWindow", "", [](TiXmlElement* element) -> Vabo::GuiObject* {
    return new AboutWindow(element);
});
Vabo::RegisterClassSlot<AboutWindow, Activate> closeSlot("AboutWindow::CloseClickedSlot",
                                                         &AboutWindow::CloseClickedSlot);
Vabo::RegisterClassSlot<AboutWindow, Activate> helpSlot("AboutWindow::HelpActiveSlot", &AboutWindow::HelpActiveSlot);
Vabo::RegisterClassSlot<AboutWindow, Activate> licenseSlot("AboutWindow::LicenseActiveSlot",
                                                           &AboutWindow::LicenseActiveSlot);

const char* const NoDocument = "No help file available";

} // namespace

AboutWindow::AboutWindow(TiXmlElement* element)
    : AppWindow(element)
{
    // Escape closes it, as its close button does.
    AddSlot<Vabo::Signal::Cancel>(&AboutWindow::CloseClickedSlot, this);
    // Return closes it too unless the keys or the pointer chose another button.
    if (Vabo::GuiObject* close = DllGlobalObjectFactoryInstance().FindObject(this, "CloseButton"))
        SetDefaultStop(close);
    else
        Platform::Log("AboutWindow: no button named \"CloseButton\"; Return presses no button");
    Vabo::GuiObject* found = DllGlobalObjectFactoryInstance().FindObject(this, "Version");
    auto* version = dynamic_cast<Vabo::Text*>(found);
    if (!version) {
        Platform::Log("AboutWindow: no text named \"Version\"; the version is not shown");
        return;
    }
    version->SetText(version->GetText() + " v" + AppState::Instance().GetVersion());
}

AboutWindow::~AboutWindow() = default;

void AboutWindow::CloseClickedSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    Close();
}

void AboutWindow::HelpActiveSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    OpenDocument("Help");
}

void AboutWindow::LicenseActiveSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    OpenDocument("License");
}

void AboutWindow::OpenDocument(const std::string& tag)
{
    std::string document;
    TiXmlElement* element = GetXmlElement();
    if (element && HasChild(element, tag)) {
        try {
            ReadXmlAttribute(document, GetChild(element, tag), "Data", false);
        } catch (const XMLLoadSaveException&) {
            document.clear();
        }
    }
    if (document.empty()) {
        Platform::Log("AboutWindow: no document named by \"" + tag + "\"");
        ShowMessageBox(NoDocument, "");
        return;
    }
    // The documents lie with the skin, wherever the program was started from.
    const std::string path =
        document.find(':') == std::string::npos ? DllDocMapInstance().ResolveName(document) : document;
    const ShellResult result = ShellOpen(path);
    if (!result.ok) {
        const std::string reason = result.error.value_or("no reason given");
        Platform::Log("AboutWindow: cannot open " + path + ": " + reason);
        ShowMessageBox(OpenFailure(document, reason), "");
    }
}

std::string AboutWindow::OpenFailure(const std::string& document, const std::string& reason)
{
    return "error: " + document + " - " + reason;
}

std::string AboutWindow::ShowMessageBox(const std::string& text, const std::string& buttons)
{
    return ::ShowMessageBox(text, buttons, dynamic_cast<Vabo::Window*>(GetRootObject()));
}

void AboutWindow::ShowFor(Vabo::GuiObject& screen)
{
    TiXmlElement* element = screen.GetXmlElement();
    if (!element || !XMLLoadSave::HasChild(element, "AboutWindow")) {
        Platform::Log("AboutWindow: the screen \"" + screen.GetName() + "\" has no \"AboutWindow\" element");
        return;
    }
    try {
        AboutWindow about(screen.GetChild(element, "AboutWindow"));
        auto* owner = dynamic_cast<Vabo::Window*>(screen.GetRootObject());
        if (owner)
            about.CenterOnOwner(*owner);
        about.DoModal(owner);
    } catch (const std::exception& error) {
        Platform::Log("AboutWindow: cannot show the About window of \"" + screen.GetName() + "\": " + error.what());
    }
}
