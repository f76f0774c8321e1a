#pragma once
// The user's settings between runs: typed values kept as text in the group
// "Pellora Settings" of $XDG_CONFIG_HOME/vintrel-pellora/settings.ini. Every
// call reads or writes the file at once (a Set made while a Batch lives, when
// the batch ends); nothing is cached. Only a regular file (or one a link
// names) is read or written: anything else in its place (a FIFO, a device, a
// socket, a folder) is logged and left as it is, and the defaults are used.
// Numbers use the C locale's forms whatever the user's locale. Process-wide
// (GUI thread); use after destruction at exit throws std::logic_error "Dead
// Reference Detected".
#include "app/LineSalvage.h"

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace Vabo {
template <class T> struct CreateWithExitRelease;
}

class SettingsStore {
public:
    static SettingsStore& Instance();

    // Longest stored text taken as a value: longer is not ours.
    static constexpr std::size_t MaxValueLength = 256;

    // The stored value of the key, or the default when the key is absent,
    // the file cannot be read or the text is not a value of T (nor at most
    // MaxValueLength bytes). Lines of the file that cannot be read are
    // skipped, the rest is read. Never writes. T is int, float, bool or
    // std::string.
    template <class T> T Get(const std::string& key, const T& defaultValue);
    std::string Get(const std::string& key, const char* defaultValue) { return Get<std::string>(key, defaultValue); }
    // Stores the value's text; false (and a log line) when the file could
    // not be written (logged once for writes that fail in a row). A
    // settings file that is a symbolic link stays one: the file it names is
    // written. A file with unreadable lines is kept aside
    // (settings.ini.unreadable-N-DATE-TIME, logged; the newest
    // UnreadableCopies::Kept such copies stay), and the new file holds
    // what could be read of it and this value; nothing is written when it
    // cannot be kept aside, and it stays in place when the new file cannot
    // be written. A stored text that could not be used is left as
    // it is when the value set is the default that Get gave in its place, or
    // the value named by UsedInstead. While a Batch lives, the value is only
    // kept, to be written when the batch ends: false (logged) when nothing
    // can be written where the settings go (no regular file stands there, or
    // no folder can be made for it).
    template <class T> bool Set(const std::string& key, const T& value);
    // A text, not a pointer taken as a bool.
    bool Set(const std::string& key, const char* value) { return Set<std::string>(key, value); }

    // Says what the program uses in place of the key's stored text, when Get
    // could not use that text: a later Set of this value leaves the stored
    // text as it is, so that a value the user never changed is not lost to
    // whatever stood in for it (a list's own first choice, say).
    template <class T> void UsedInstead(const std::string& key, const T& value);

    // While one lives, Set keeps what it is given, and when one ends all
    // that is kept is written in one replacement of the file: a save of many
    // keys lands whole or not at all, even when the process is killed during
    // it. A failed write is logged. One ended inside another writes what the
    // outer one kept so far too (a lost display ends the process before the
    // outer one ends). Get reads the file as it is, without what is kept.
    class Batch {
    public:
        Batch();
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        // Writes what is kept now, as an end would; false (logged) when it
        // could not be written.
        bool Write();
    };

    // Removes what saves killed mid-way left behind: our own temporary files
    // (settings.ini.pellora-unfinished-XXXXXX) older than ten seconds, and no
    // other file. Run at start, once this is the one program running: no save
    // of ours is under way then.
    static void RemoveStaleTemporaries();

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

    // A key's value as the file holds it (raw) and as text.
    struct Stored {
        bool present = false;
        // False when the raw value is no text (a bad escape, not UTF-8).
        bool readable = false;
        std::string text;
        std::string raw;
    };
    // Keys and their texts, in the order they were set.
    using Texts = std::vector<std::pair<std::string, std::string>>;

    Stored ReadText(const std::string& key);
    bool WriteText(const std::string& key, const std::string& text);
    // Sets the texts, in order, in one replacement of the file.
    bool WriteTexts(const Texts& texts);
    // Logs why a write failed, unless the write before it to the same file
    // failed too; false.
    bool WriteFailed(const std::string& why);
    void ReportBadValue(const std::string& key, const Stored& stored, const std::string& defaultText);
    // Logs each distinct message once per run: every call reads the file anew.
    void LogOnce(const std::string& message);

    std::string section_ = "Pellora Settings";
    // Keys whose stored value could not be used: that raw value, and the text
    // used in its place (Get's default, or what UsedInstead named).
    struct Unusable {
        std::string raw;
        std::string defaultText;
    };
    std::map<std::string, Unusable> unusable_;
    std::set<std::string> logged_;
    // The settings file whose latest write failed: its failures are not
    // logged again until a write succeeds.
    std::string failingPath_;
    LineSalvage salvage_;
    // The Batches alive, and what Set was given meanwhile and is not written yet.
    int batches_ = 0;
    Texts batched_;
};

template <class T> T SettingsStore::Get(const std::string& key, const T& defaultValue)
{
    const Stored stored = ReadText(key);
    T value;
    if (!stored.present)
        return defaultValue;
    if (!stored.readable || stored.text.size() > MaxValueLength || !FromText(stored.text, value)) {
        ReportBadValue(key, stored, ToText(defaultValue));
        return defaultValue;
    }
    unusable_.erase(key);
    return value;
}

template <class T> bool SettingsStore::Set(const std::string& key, const T& value)
{
    return WriteText(key, ToText(value));
}

template <class T> void SettingsStore::UsedInstead(const std::string& key, const T& value)
{
    const auto unusable = unusable_.find(key);
    if (unusable != unusable_.end())
        unusable->second.defaultText = ToText(value);
}
