// The signal by which text widgets report a text (an edit box its content, a
// list its chosen entry) to their own connections.
#pragma once

#include <string>

#include "framework/core/Signal.h"

namespace Vabo {
namespace Signal {

class String : public Base {
public:
    explicit String(const std::string& text = std::string())
        : Base(TypeIdOf<String>(), false)
        , text(text)
    {
    }
    std::string Name() const override { return "String"; }

    std::string text;
};

} // namespace Signal
} // namespace Vabo
