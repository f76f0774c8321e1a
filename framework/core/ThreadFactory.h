#pragma once
// The framework's register of worker threads by number, with the counter that
// numbers them. Nothing in the framework starts a thread through it, so it
// stays empty.
#include <cstdint>
#include <map>
#include <thread>

namespace Vabo {

struct ThreadFactory_ {
    std::map<std::uint32_t, std::thread::native_handle_type> threads;
    std::uint32_t counter = 0;
};

} // namespace Vabo

Vabo::ThreadFactory_& DllThreadFactorySingleton();
