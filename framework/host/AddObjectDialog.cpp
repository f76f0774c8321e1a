#include "framework/host/AddObjectDialog.h"

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/core/XmlObjectHolder.h"
#include "framework/core/HostInputSignals.h"
#include "framework/host/ScreenManager.h"
#include "framework/host/TitleWindow.h"
#include "framework/host/VaboWnd.h"
#include "framework/widgets/StringSignal.h"

namespace Vabo {

namespace {

RegisterClass<AddObjectDialog> dialogClass("Vabo::AddObjectDialog", "$VABO/Objects/AddObjectDialog/AddObjectDialog.xml",
                                           [](TiXmlElement* element) -> GuiObject* {
                                               return new AddObjectDialog(element);
                                           });
// Only an activation confirms (a click on OK, or OK pressed by Enter in the
// name's edit box through "Vabo::GuiObject::SlotActivate").
RegisterClassSlot<AddObjectDialog, Signal::Activate> okSlot("Vabo::AddObjectDialog::OKSlot", &AddObjectDialog::OKSlot);
RegisterClassSlot<AddObjectDialog, Signal::String> stringSlot("Vabo::AddObjectDialog::StringSlot",
                                                              &AddObjectDialog::StringSlot);

// The GUI builder's add-object command asks its name through this dialog.
struct DialogInstaller {
    DialogInstaller() { XmlObjectHolder::SetAddObjectDialogRunner(&RunAddObjectDialog); }
} dialogInstaller;

constexpr unsigned kTabKey = 9;
constexpr int kSelectRight = 1;

} // namespace

AddObjectDialog::AddObjectDialog(TiXmlElement* element)
    : GridLayout(element, true)
{
}

AddObjectDialog::~AddObjectDialog() = default;

void AddObjectDialog::OKSlot(Signal::Base*, GuiObject*)
{
    confirmed_ = true;
}

void AddObjectDialog::StringSlot(Signal::Base* signal, GuiObject*)
{
    text_ = static_cast<Signal::String*>(signal)->text;
}

bool RunAddObjectDialog(GuiObject* owner, TiXmlElement* element, std::string& text)
{
    TitleWindow window(element);
    if (VaboWnd* host = window.GetHostWnd()) {
        // Bindings are process-wide: from now on Tab moves the selection right in
        // every window of the program.
        host->GetScreenManager().AddKeyBinding(Signal::KeyPress(kTabKey),
                                               std::make_shared<Signal::SelectNextObject>(kSelectRight));
    }
    window.DoModal(dynamic_cast<Window*>(owner));
    AddObjectDialog* dialog = GetXMLObject<AddObjectDialog>(&window, "AddObjectWidget");
    if (!dialog)
        return false;
    text = dialog->GetText();
    return dialog->IsConfirmed();
}

} // namespace Vabo
