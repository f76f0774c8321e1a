#include "app/ShowMessageBox.h"

#include "framework/host/MessageBoxA.h"
#include "platform/Log.h"

#include <exception>

std::string ShowMessageBox(XMLLoadSave& loader, const std::string& text, const std::string& buttons,
                           Vabo::Window* owner)
{
    const std::string document = "XML/Main/MessageBox.xml";
    try {
        TiXmlElement* element = loader.LoadXMLOrThrow(document);
        Vabo::MessageBoxA box(element);
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
