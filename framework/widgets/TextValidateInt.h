// An invisible skin object whose slot, connected to an edit box's validate
// signal, lets through digits only.
#pragma once

#include "framework/core/GuiObject.h"

namespace Vabo {
namespace TextValidate {

class Int : public GuiObject {
public:
    explicit Int(TiXmlElement* element);
    ~Int() override;

    // Refuses what is not a digit.
    void SlotValidate(Signal::Base* signal, GuiObject* object);
};

} // namespace TextValidate
} // namespace Vabo
