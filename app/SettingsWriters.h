#pragma once
// What each live part of the program writes to the settings when it closes,
// written on demand too. A lost display ends the process at once, with no
// window destroyed (each would wait for ever on the dead connection): the
// settings that the session holds are then written through these.
#include <functional>

class SettingsWriters {
public:
    // The owner's writer replaces an earlier one of the same owner.
    static void Add(const void* owner, std::function<void()> write);
    // Before the owner goes.
    static void Remove(const void* owner);
    // Runs every writer, the oldest first, in one SettingsStore::Batch; one
    // that throws is logged and the others still run. False when there was
    // none to run, or the settings could not be written at all.
    static bool WriteAll();
};
