#pragma once
// The process-wide list of live screen managers: each adds itself when
// constructed and removes itself when destroyed.
#include <list>

namespace Vabo {

class ScreenManager;

class _ScreenManager {
public:
    void Add(ScreenManager* manager) { managers_.push_back(manager); }
    // Removes every occurrence.
    void Remove(ScreenManager* manager) { managers_.remove(manager); }
    const std::list<ScreenManager*>& GetScreenManagers() const { return managers_; }

private:
    std::list<ScreenManager*> managers_;
};

} // namespace Vabo

Vabo::_ScreenManager& DllScreenCollectorInstance();
