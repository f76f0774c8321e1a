// What an edit box tells its own connections when Enter ends an entry.
#pragma once

#include <string>

#include "framework/core/Signal.h"

namespace Vabo {
namespace Signal {

class EditBoxSignal : public Base {
public:
    explicit EditBoxSignal(const std::string& text = std::string())
        : Base(TypeIdOf<EditBoxSignal>(), false)
        , text(text)
    {
    }
    std::string Name() const override { return "EditBoxSignal"; }

    std::string text;
};

} // namespace Signal
} // namespace Vabo
