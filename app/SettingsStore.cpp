#include "app/SettingsStore.h"

#include "framework/core/Singleton.h"
#include "platform/Log.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace {

// A settings file is a few hundred bytes; anything far larger is not ours.
constexpr off_t MaxFileSize = 1024 * 1024;
// A save takes milliseconds: a temporary file of ours this old belongs to a
// save that was killed.
constexpr int StaleSeconds = 10;
// A refused file is read line by line only up to this size: each line costs
// a parse of its own, and every Get reads the file anew.
constexpr std::size_t MaxSalvageSize = 64 * 1024;

struct KeyFileFree {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, KeyFileFree>;

// Whole: every line was read. Partial: some lines could not be read and were
// left out. Unreadable: nothing could be read (too large, no access).
enum class LoadResult { Whole, Partial, Missing, Unreadable };

struct Loaded {
    KeyFilePtr file{g_key_file_new()};
    LoadResult result = LoadResult::Missing;
    // Why the file is not whole, for the log.
    std::string reason;
};

bool Parses(const std::string& text)
{
    KeyFilePtr probe(g_key_file_new());
    return g_key_file_load_from_data(probe.get(), text.data(), text.size(), G_KEY_FILE_NONE, nullptr);
}

// What can be read of a text the key file refused, one line at a time: the
// lines it takes (groups, comments, blanks, and the keys of a group that
// was read), in their order; `dropped` gets the numbers of the others.
std::string ReadableLines(const std::string& text, std::vector<int>& dropped)
{
    std::string kept;
    bool inGroup = false;
    int number = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t stop = text.find('\n', at);
        if (stop == std::string::npos)
            stop = text.size();
        const std::string line = text.substr(at, stop - at);
        at = stop + 1;
        ++number;
        if (Parses(line)) {
            // A group, a comment or a blank.
            const std::size_t first = line.find_first_not_of(" \t\r");
            if (first != std::string::npos && line[first] == '[')
                inGroup = true;
        } else if (!inGroup || !Parses("[Pellora]\n" + line)) {
            dropped.push_back(number);
            // The keys below a group that cannot be read belong to no group we know.
            const std::size_t first = line.find_first_not_of(" \t\r");
            if (first != std::string::npos && line[first] == '[')
                inGroup = false;
            continue;
        }
        kept += line + '\n';
    }
    return kept;
}

std::string LineList(const std::vector<int>& numbers)
{
    std::string text;
    const std::size_t shown = std::min<std::size_t>(numbers.size(), 10);
    for (std::size_t i = 0; i < shown; ++i)
        text += (i ? ", " : "") + std::to_string(numbers[i]);
    if (shown < numbers.size())
        text += " and " + std::to_string(numbers.size() - shown) + " more";
    return text;
}

Loaded Load(const std::string& path)
{
    Loaded loaded;
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        // No file, or no folder for it: a first run.
        if (errno == ENOENT || errno == ENOTDIR)
            return loaded;
        loaded.result = LoadResult::Unreadable;
        loaded.reason = std::string("cannot read ") + path + ": " + g_strerror(errno);
        return loaded;
    }
    loaded.result = LoadResult::Unreadable;
    if (status.st_size > MaxFileSize) {
        loaded.reason = path + " is larger than " + std::to_string(MaxFileSize) + " bytes; it is not read";
        return loaded;
    }
    gchar* contents = nullptr;
    gsize length = 0;
    GError* error = nullptr;
    if (!g_file_get_contents(path.c_str(), &contents, &length, &error)) {
        loaded.reason = std::string("cannot read ") + path + ": " + error->message;
        g_error_free(error);
        return loaded;
    }
    std::string text(contents, length);
    g_free(contents);
    if (text.size() > std::size_t(MaxFileSize)) {
        loaded.reason = path + " is larger than " + std::to_string(MaxFileSize) + " bytes; it is not read";
        return loaded;
    }
    loaded.result = LoadResult::Whole;
    if (g_key_file_load_from_data(loaded.file.get(), text.data(), text.size(), G_KEY_FILE_KEEP_COMMENTS, &error))
        return loaded;
    const std::string refusal = error->message;
    g_clear_error(&error);
    if (text.size() > MaxSalvageSize) {
        loaded.file.reset(g_key_file_new());
        loaded.result = LoadResult::Unreadable;
        loaded.reason = path + " cannot be read (" + refusal + "), and at more than "
            + std::to_string(MaxSalvageSize) + " bytes it is not read line by line";
        return loaded;
    }
    // An editor's byte-order mark is not part of the first line.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    std::vector<int> dropped;
    const std::string readable = ReadableLines(text, dropped);
    loaded.file.reset(g_key_file_new());
    loaded.result = LoadResult::Partial;
    if (!g_key_file_load_from_data(loaded.file.get(), readable.data(), readable.size(), G_KEY_FILE_KEEP_COMMENTS,
                                   nullptr)) {
        loaded.file.reset(g_key_file_new());
        loaded.result = LoadResult::Unreadable;
    }
    loaded.reason = path + " cannot be read whole (" + refusal + ")";
    if (!dropped.empty())
        loaded.reason += "; left out line" + std::string(dropped.size() > 1 ? "s " : " ") + LineList(dropped);
    return loaded;
}

// A free name beside the file for keeping an unreadable one.
std::string AsideName(const std::string& path)
{
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + ".unreadable-" + stamp;
    std::string name = base;
    for (int n = 2; g_file_test(name.c_str(), G_FILE_TEST_EXISTS); ++n)
        name = base + "-" + std::to_string(n);
    return name;
}

// The temporary files a save of `file` makes: the name, a dot and six random
// letters and digits. A word of one kind of character ("backup") is taken
// for the user's own file and left alone.
bool IsTemporaryOf(const std::string& name, const std::string& file)
{
    if (name.size() != file.size() + 7 || name.compare(0, file.size(), file) != 0 || name[file.size()] != '.')
        return false;
    bool upper = false, lower = false, digit = false;
    for (std::size_t i = file.size() + 1; i < name.size(); ++i) {
        upper |= g_ascii_isupper(name[i]);
        lower |= g_ascii_islower(name[i]);
        digit |= g_ascii_isdigit(name[i]);
        if (!g_ascii_isalnum(name[i]))
            return false;
    }
    return int(upper) + int(lower) + int(digit) >= 2;
}

// A value quoted for the log: a long one only by its start and length.
std::string Quoted(const std::string& text)
{
    if (text.size() <= 64)
        return "\"" + text + "\"";
    return "\"" + text.substr(0, 32) + "...\" (" + std::to_string(text.size()) + " bytes)";
}

bool OnlyBlanksFrom(const char* at, const char* end)
{
    for (; at != end; ++at)
        if (*at != ' ' && *at != '\t' && *at != '\n' && *at != '\r' && *at != '\f' && *at != '\v')
            return false;
    return true;
}

template <class T> bool ParseNumber(const std::string& text, T& value)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    // A sign is part of the value; from_chars takes only "-".
    if (begin != end && *begin == '+' && begin + 1 != end && *(begin + 1) != '-')
        ++begin;
    T parsed{};
    const auto [stop, error] = std::from_chars(begin, end, parsed);
    if (error != std::errc() || !OnlyBlanksFrom(stop, end))
        return false;
    value = parsed;
    return true;
}

} // namespace

SettingsStore& SettingsStore::Instance()
{
    return Vabo::SingletonHolder<SettingsStore>::Instance();
}

std::string SettingsStore::FilePath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config && config[0] == '/')
        folder = config;
    else
        folder = std::string(g_get_home_dir()) + "/.config";
    return folder + "/vintrel-pellora/settings.ini";
}

std::string SettingsStore::ToText(int value)
{
    return std::to_string(value);
}

std::string SettingsStore::ToText(float value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 7);
    return std::string(text, result.ptr);
}

std::string SettingsStore::ToText(bool value)
{
    return value ? "1" : "0";
}

std::string SettingsStore::ToText(const std::string& value)
{
    return value;
}

bool SettingsStore::FromText(const std::string& text, int& value)
{
    return ParseNumber(text, value);
}

bool SettingsStore::FromText(const std::string& text, float& value)
{
    return ParseNumber(text, value);
}

bool SettingsStore::FromText(const std::string& text, bool& value)
{
    int number = 0;
    if (!ParseNumber(text, number) || (number != 0 && number != 1))
        return false;
    value = number == 1;
    return true;
}

bool SettingsStore::FromText(const std::string& text, std::string& value)
{
    value = text;
    return true;
}

SettingsStore::Stored SettingsStore::ReadText(const std::string& key)
{
    const Loaded loaded = Load(FilePath());
    if (loaded.result == LoadResult::Unreadable || loaded.result == LoadResult::Partial)
        LogOnce("SettingsStore: " + loaded.reason);
    Stored stored;
    gchar* raw = g_key_file_get_value(loaded.file.get(), section_.c_str(), key.c_str(), nullptr);
    if (!raw)
        return stored;
    stored.present = true;
    stored.raw = raw;
    g_free(raw);
    if (gchar* text = g_key_file_get_string(loaded.file.get(), section_.c_str(), key.c_str(), nullptr)) {
        stored.readable = true;
        stored.text = text;
        g_free(text);
    }
    return stored;
}

bool SettingsStore::WriteText(const std::string& key, const std::string& text)
{
    const std::string path = FilePath();
    Loaded loaded = Load(path);
    const auto unusable = unusable_.find(key);
    if (unusable != unusable_.end()) {
        // The default given in place of a stored value that could not be
        // used does not replace it: read again, it gives that default.
        gchar* raw = g_key_file_get_value(loaded.file.get(), section_.c_str(), key.c_str(), nullptr);
        const bool unchanged = raw && unusable->second.raw == raw;
        g_free(raw);
        if (unchanged && unusable->second.defaultText == text)
            return true;
        unusable_.erase(unusable);
    }
    if (loaded.result == LoadResult::Unreadable || loaded.result == LoadResult::Partial) {
        // What could not be read stays the user's, beside the new file.
        const std::string aside = AsideName(path);
        if (std::rename(path.c_str(), aside.c_str()) != 0) {
            Platform::Log("SettingsStore: " + loaded.reason + ", and it cannot be moved aside to " + aside + ": "
                          + g_strerror(errno) + "; " + key + " is not stored");
            return false;
        }
        Platform::Log("SettingsStore: " + loaded.reason + "; it is kept as " + aside + ", and " + path
                      + " is written anew with what could be read");
    }
    GKeyFile* file = loaded.file.get();
    g_key_file_set_string(file, section_.c_str(), key.c_str(), text.c_str());

    gchar* folder = g_path_get_dirname(path.c_str());
    const bool folderReady = g_mkdir_with_parents(folder, 0700) == 0;
    if (!folderReady)
        Platform::Log(std::string("SettingsStore: cannot make the folder ") + folder + ": " + g_strerror(errno));
    g_free(folder);
    if (!folderReady)
        return false;

    // Written to a temporary file and renamed over the old one.
    GError* error = nullptr;
    if (!g_key_file_save_to_file(file, path.c_str(), &error)) {
        Platform::Log("SettingsStore: cannot write " + path + ": " + error->message);
        g_error_free(error);
        return false;
    }
    return true;
}

void SettingsStore::ReportBadValue(const std::string& key, const Stored& stored, const std::string& defaultText)
{
    unusable_[key] = Unusable{stored.raw, defaultText};
    std::string why = "is not usable";
    if (!stored.readable)
        why = "is no text (a bad escape or not UTF-8)";
    else if (stored.text.size() > MaxValueLength)
        why = "is longer than " + std::to_string(MaxValueLength) + " bytes";
    LogOnce("SettingsStore: the value " + Quoted(stored.raw) + " of " + key + " in " + FilePath() + " " + why
            + "; the default is used");
}

void SettingsStore::LogOnce(const std::string& message)
{
    if (logged_.insert(message).second)
        Platform::Log(message);
}

void SettingsStore::RemoveStaleTemporaries()
{
    const std::string path = FilePath();
    gchar* folder = g_path_get_dirname(path.c_str());
    gchar* file = g_path_get_basename(path.c_str());
    const std::string folderName = folder, fileName = file;
    g_free(folder);
    g_free(file);
    GDir* dir = g_dir_open(folderName.c_str(), 0, nullptr);
    if (!dir)
        return;
    const std::time_t now = std::time(nullptr);
    while (const gchar* name = g_dir_read_name(dir)) {
        if (!IsTemporaryOf(name, fileName))
            continue;
        const std::string temporary = folderName + "/" + name;
        struct stat status;
        if (lstat(temporary.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || now - status.st_mtime < StaleSeconds)
            continue;
        if (std::remove(temporary.c_str()) == 0)
            Platform::Log("SettingsStore: removed " + temporary + ", left by a save that did not finish");
        else
            Platform::Log("SettingsStore: cannot remove " + temporary + ": " + g_strerror(errno));
    }
    g_dir_close(dir);
}
