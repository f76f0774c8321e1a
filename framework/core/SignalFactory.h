#pragma once
// Signal type ids: every signal class keeps its own id, 0 until the class is
// first asked for it, then the next value of one process-wide counter that
// starts at 1 (so the first type asked for is 2). Id 0 means "no type".
#include <cstdint>

namespace Vabo {

// Touched by every id request before the id is read.
struct SignalId_ { };

SignalId_& DllSignalIdInstance();

struct SignalFactory_ {
    std::uint32_t counter = 1;
};

// The id of the class whose static id is classId, assigning it on the first
// request.
std::uint32_t RequestSignalTypeId(std::uint32_t& classId);

} // namespace Vabo

Vabo::SignalFactory_& DllSignalFactoryInstance();
