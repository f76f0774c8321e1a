#include "app/ShowMessageBox.h"

#include "framework/host/MessageBoxA.h"
#include "framework/host/VaboWnd.h"
#include "platform/Display.h"
#include "platform/Log.h"

#include <exception>

namespace {

// The box's place from the owner's corner, as its modal loop takes it: a
// box partly off the screen may hide the very button that answers it.
void PlaceOver(Vabo::MessageBoxA& box, Vabo::Window& owner, bool centred)
{
    Vabo::VaboWnd* host = owner.GetHostWnd();
    if (!host || !host->IsCreated())
        return;
    const Platform::Rect frame = host->GetWindowRect();
    int x = frame.x + (centred ? (frame.width - box.GetWidth()) / 2 : box.GetX());
    int y = frame.y + (centred ? (frame.height - box.GetHeight()) / 2 : box.GetY());
    const Platform::Rect work = Platform::WorkAreaOf(host->GetNativeWindow()->Handle());
    if (work.width > 0 && work.height > 0)
        Platform::KeepInsideWorkArea({x, y, box.GetWidth(), box.GetHeight()}, work, x, y);
    // Only the object's place: the modal loop moves the window there.
    box.GuiObject::SetPosition(x - owner.GetX(), y - owner.GetY());
}

} // namespace

std::string ShowMessageBox(XMLLoadSave& loader, const std::string& text, const std::string& buttons,
                           Vabo::Window* owner, bool centredOnOwner)
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
            PlaceOver(box, *owner, centredOnOwner);
        box.DoModal(owner);
        return box.GetAnswer();
    } catch (const std::exception& error) {
        Platform::Log("ShowMessageBox: cannot show \"" + text + "\" from " + document + ": " + error.what());
        return "";
    }
}
