#pragma once
// The outcome of connecting one "Connect" element: the connection, or an empty one
// and the reason.

#include <string>

#include "framework/core/SlotList.h"

namespace Vabo {

struct ConnectResult {
    Connection connection;
    std::string message;

    bool Connected() const { return connection.connected(); }
};

} // namespace Vabo
