#pragma once
// The user's settings between runs: typed values kept as text in the group
// "Pellora Settings" of $XDG_CONFIG_HOME/vintrel-pellora/settings.ini. Every
// call reads or writes the file at once; nothing is cached. Numbers use the
// C locale's forms whatever the user's locale. Process-wide (GUI thread); use
// after destruction at exit throws std::logic_error "Dead Reference Detected".
#include <optional>
#include <string>

namespace Vabo {
template <class T> struct CreateWithExitRelease;
}

class SettingsStore {
public:
    static SettingsStore& Instance();

    // The stored value of the key, or the default when the key is absent,
    // the file cannot be read or the text is not a value of T. Never writes.
    // T is int, float, bool or std::string.
    template <class T> T Get(const std::string& key, const T& defaultValue) const;
    std::string Get(const std::string& key, const char* defaultValue) const
    {
        return Get<std::string>(key, defaultValue);
    }
    // Stores the value's text; false (and a log line) when the file could
    // not be written. A corrupt file is replaced by one holding this value.
    template <class T> bool Set(const std::string& key, const T& value);

    const std::string& Section() const { return section_; }
    // $XDG_CONFIG_HOME/vintrel-pellora/settings.ini, else under ~/.config.
    static std::string FilePath();

    // The text forms: integers in decimal, floats with at most 7 significant
    // digits ("440", "440.5"), booleans "1" and "0", strings as they are.
    static std::string ToText(int value);
    static std::string ToText(float value);
    static std::string ToText(bool value);
    static std::string ToText(const std::string& value);
    // Strict conversions: the value must start the text and only blanks may
    // follow it; a bool is "0" or "1".
    static bool FromText(const std::string& text, int& value);
    static bool FromText(const std::string& text, float& value);
    static bool FromText(const std::string& text, bool& value);
    static bool FromText(const std::string& text, std::string& value);

private:
    friend struct Vabo::CreateWithExitRelease<SettingsStore>;
    SettingsStore() = default;

    std::optional<std::string> ReadText(const std::string& key) const;
    bool WriteText(const std::string& key, const std::string& text);
    static void ReportBadValue(const std::string& key, const std::string& text);

    std::string section_ = "Pellora Settings";
};

template <class T> T SettingsStore::Get(const std::string& key, const T& defaultValue) const
{
    const std::optional<std::string> text = ReadText(key);
    T value;
    if (!text)
        return defaultValue;
    if (!FromText(*text, value)) {
        ReportBadValue(key, *text);
        return defaultValue;
    }
    return value;
}

template <class T> bool SettingsStore::Set(const std::string& key, const T& value)
{
    return WriteText(key, ToText(value));
}
