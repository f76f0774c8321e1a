// The GUI builder's add-object dialog. Its document
// ("$VABO/AddObjectWindow/AddObjectDialog.xml") builds a title window; somewhere
// below it an AddObjectDialog named "AddObjectWidget" collects the answer:
// whether the user confirmed and the name that was entered. The skin connects
// "Vabo::AddObjectDialog::OKSlot" and "Vabo::AddObjectDialog::StringSlot" to
// its own controls.
#pragma once

#include <string>

#include "framework/widgets/GridLayout.h"

namespace Vabo {

class AddObjectDialog : public GridLayout {
public:
    explicit AddObjectDialog(TiXmlElement* element);
    ~AddObjectDialog() override;

    // Marks the dialog as confirmed; connected to an Activate only. The skin
    // closes the window itself.
    void OKSlot(Signal::Base* signal, GuiObject* object);
    // Keeps the text of a Signal::String, replacing the previous one.
    void StringSlot(Signal::Base* signal, GuiObject* object);

    bool IsConfirmed() const { return confirmed_; }
    const std::string& GetText() const { return text_; }

private:
    bool confirmed_ = false;
    std::string text_;
};

// Runs the dialog built from its document's root element modally over the
// owner's window; returns whether the user confirmed and puts the entered text
// into text. A document without an "AddObjectWidget" dialog answers false.
bool RunAddObjectDialog(GuiObject* owner, TiXmlElement* element, std::string& text);

} // namespace Vabo
