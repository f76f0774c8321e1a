// What an edit box asks before it inserts text: validators connected to the
// box may refuse the insertion by clearing `accepted`.
#pragma once

#include <string>

#include "framework/core/Signal.h"

namespace Vabo {
namespace TextValidate {

class Validate : public Signal::Base {
public:
    Validate(const std::string& insert = std::string(), const std::string& current = std::string())
        : Base(Signal::TypeIdOf<Validate>(), false)
        , insert(insert)
        , current(current)
    {
    }
    std::string Name() const override { return "Vabo::TextValidator::Validate"; }

    std::string insert;
    std::string current;
    bool accepted = true;
};

} // namespace TextValidate
} // namespace Vabo
