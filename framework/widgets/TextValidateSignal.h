// What an edit box asks before it inserts text: validators connected to the
// box may refuse the insertion by clearing `accepted`. The text it would go
// into is `current` followed by `rest`, seen in place for the signal's
// lifetime, so that asking about each character of a long paste copies
// nothing.
#pragma once

#include <string>
#include <string_view>

#include "framework/core/Signal.h"

namespace Vabo {
namespace TextValidate {

class Validate : public Signal::Base {
public:
    Validate(const std::string& insert = std::string(), std::string_view current = std::string_view(),
             std::string_view rest = std::string_view())
        : Base(Signal::TypeIdOf<Validate>(), false)
        , insert(insert)
        , current(current)
        , rest(rest)
    {
    }
    std::string Name() const override { return "Vabo::TextValidator::Validate"; }

    std::string insert;
    std::string_view current;
    std::string_view rest;
    bool accepted = true;
};

} // namespace TextValidate
} // namespace Vabo
