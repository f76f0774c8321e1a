#include "framework/widgets/TextValidateFloat.h"

#include <cctype>

#include "framework/core/Registration.h"
#include "framework/widgets/TextValidateSignal.h"

namespace Vabo {
namespace TextValidate {

namespace {

RegisterClass<Float> floatClass("Vabo::TextValidate::Float", "$VABO/Objects/TextValidateFloat/TextValidateFloat.xml",
                                [](TiXmlElement* element) -> GuiObject* { return new Float(element); });
RegisterClassSlot<Float, Validate> floatSlot("Vabo::TextValidate::Float::SlotValidate", &Float::SlotValidate);

} // namespace

Float::Float(TiXmlElement* element)
    : GuiObject(element, 1, 0)
{
}

Float::~Float() = default;

void Float::SlotValidate(Signal::Base* signal, GuiObject*)
{
    auto* validate = static_cast<Validate*>(signal);
    if (!validate->accepted || validate->insert.empty())
        return;
    const unsigned char c = static_cast<unsigned char>(validate->insert[0]);
    const bool firstPoint = c == '.' && validate->current.find('.') == std::string_view::npos
        && validate->rest.find('.') == std::string_view::npos;
    validate->accepted = std::isdigit(c) != 0 || firstPoint;
}

} // namespace TextValidate
} // namespace Vabo
