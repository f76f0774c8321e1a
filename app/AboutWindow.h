#pragma once
// The About window: the skin's version text completed with the program's
// version, and buttons that open the documents named by the "Data" attribute
// of the window element's "Help" and "License" children.
#include "framework/host/AppWindow.h"

#include <string>

class AboutWindow : public Vabo::AppWindow {
public:
    explicit AboutWindow(TiXmlElement* element);
    ~AboutWindow() override;

    void CloseClickedSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void HelpActiveSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void LicenseActiveSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);

    // Opens the document of the child element with the tag; a missing or
    // empty document, or one that cannot be opened, is told in a message box.
    void OpenDocument(const std::string& tag);
    // A message box owned by this window, centred on it.
    std::string ShowMessageBox(const std::string& text, const std::string& buttons);
    // What the user is told when the document, named as the skin names it,
    // could not be opened for the reason (a phrase).
    static std::string OpenFailure(const std::string& document, const std::string& reason);

    // Builds the About window from the screen's "AboutWindow" child element and
    // runs it modally, centred on the screen's root window.
    static void ShowFor(Vabo::GuiObject& screen);
};
