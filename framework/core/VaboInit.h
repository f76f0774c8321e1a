#pragma once
// The framework's initialisation, created by the application's start-up
// before any window is built. It owns the release of the objects the global
// object factory holds: at exit the factory is cleared before the first
// singleton is destroyed, so the destructors of those objects still find
// every singleton alive.
#include "framework/core/XMLLoadSave.h"

class _VaboInit : public XMLLoadSave {
public:
    _VaboInit();
    ~_VaboInit() override;

    // How the global object factory is told to clear itself; the factory
    // sets it when it is created.
    static void SetFactoryClear(void (*clear)());
};

_VaboInit& DllVaboInitInstance();
