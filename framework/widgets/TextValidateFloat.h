// An invisible skin object whose slot, connected to an edit box's validate
// signal, lets through digits and one decimal point.
#pragma once

#include "framework/core/GuiObject.h"

namespace Vabo {
namespace TextValidate {

class Float : public GuiObject {
public:
    explicit Float(TiXmlElement* element);
    ~Float() override;

    // Refuses what is neither a digit nor the text's first ".".
    void SlotValidate(Signal::Base* signal, GuiObject* object);
};

} // namespace TextValidate
} // namespace Vabo
