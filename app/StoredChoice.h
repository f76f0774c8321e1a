#pragma once
// A stored choice of a drop-down list, read back only when the list still
// holds it (in any case): a name edited into the settings file, or one of a
// skin changed since, leaves the list's own default in place (logged).
#include <string>

class ComboPopulator;
class SettingsStore;

// The list's own spelling of the stored name when the list holds it, else empty.
std::string StoredChoice(SettingsStore& settings, const std::string& key, const ComboPopulator& list);
