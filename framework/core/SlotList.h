#pragma once
// The slot signature shared by built-in handlers and connected slots, and the list
// of slots connected to one signal type from one source.

#include <functional>

#include <boost/signals2/connection.hpp>
#include <boost/signals2/signal.hpp>

namespace Vabo {

class GuiObject;
namespace Signal {
class Base;
}

using SlotFunction = std::function<void(Signal::Base*, GuiObject*)>;
using SlotList = boost::signals2::signal<void(Signal::Base*, GuiObject*)>;
using Connection = boost::signals2::connection;
using ScopedConnection = boost::signals2::scoped_connection;

} // namespace Vabo
