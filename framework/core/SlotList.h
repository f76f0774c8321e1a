#pragma once
// The slot signature shared by built-in handlers and connected slots, and the list
// of slots connected to one signal type from one source.

#include <functional>

#include <boost/signals2/connection.hpp>
#include <boost/signals2/dummy_mutex.hpp>
#include <boost/signals2/signal.hpp>
#include <boost/signals2/signal_type.hpp>

namespace Vabo {

class GuiObject;
namespace Signal {
class Base;
}

using SlotFunction = std::function<void(Signal::Base*, GuiObject*)>;
// Signals are connected and delivered on the GUI thread only: the lists need
// no lock of their own.
using SlotList =
    boost::signals2::signal_type<void(Signal::Base*, GuiObject*),
                                 boost::signals2::keywords::mutex_type<boost::signals2::dummy_mutex>>::type;
using Connection = boost::signals2::connection;
using ScopedConnection = boost::signals2::scoped_connection;

} // namespace Vabo
