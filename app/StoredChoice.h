#pragma once
// A stored choice of a drop-down list, read back only when the list still
// holds it: a name edited into the settings file, or one of a skin changed
// since, leaves the list's own default in place (logged).
#include <string>

class ComboPopulator;
class SettingsStore;

// The stored name of the key when the list holds it, else empty.
std::string StoredChoice(SettingsStore& settings, const std::string& key, const ComboPopulator& list);
