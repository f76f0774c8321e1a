#include "framework/widgets/TextValidateInt.h"

#include <cctype>

#include "framework/core/Registration.h"
#include "framework/widgets/TextValidateSignal.h"

namespace Vabo {
namespace TextValidate {

namespace {

RegisterClass<Int> intClass("Vabo::TextValidate::Int", "$VABO/Objects/TextValidateInt/TextValidateInt.xml",
                            [](TiXmlElement* element) -> GuiObject* { return new Int(element); });
RegisterClassSlot<Int, Validate> intSlot("Vabo::TextValidate::Int::SlotValidate", &Int::SlotValidate);

} // namespace

Int::Int(TiXmlElement* element)
    : GuiObject(element, 1, 0)
{
}

Int::~Int() = default;

void Int::SlotValidate(Signal::Base* signal, GuiObject*)
{
    auto* validate = static_cast<Validate*>(signal);
    if (!validate->accepted || validate->insert.empty())
        return;
    validate->accepted = std::isdigit(static_cast<unsigned char>(validate->insert[0])) != 0;
}

} // namespace TextValidate
} // namespace Vabo
