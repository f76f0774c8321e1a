#include "app/ShowMessageBox.h"

#include "framework/host/MessageBoxA.h"
#include "platform/Log.h"

#include <exception>

std::string ShowMessageBox(const std::string& text, const std::string& buttons, Vabo::Window* owner)
{
    const std::string document = "XML/Main/MessageBox.xml";
    try {
        // The box is built from a copy of its own, which goes with it.
        XMLLoadSave documents;
        TiXmlElement* element = documents.LoadOwnXMLOrThrow(document);
        Vabo::MessageBoxA box(element);
        box.TakeDocuments(documents);
        box.SetUp(text, buttons);
        // Without an owner there is nothing to place it against but the screen.
        if (!owner)
            box.CenterWindow();
        else
            box.CenterOnOwner(*owner);
        box.DoModal(owner);
        return box.GetAnswer();
    } catch (const std::exception& error) {
        Platform::Log("ShowMessageBox: cannot show \"" + text + "\" from " + document + ": " + error.what());
        return "";
    }
}
