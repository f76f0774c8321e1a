#include "app/SettingsStore.h"

#include "framework/core/Singleton.h"
#include "platform/Log.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace {

// A settings file is a few hundred bytes; anything far larger is not ours.
constexpr off_t MaxFileSize = 1024 * 1024;

struct KeyFileFree {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, KeyFileFree>;

enum class LoadResult { Loaded, Missing, Failed };

// Reads the file into the key file; a refusal or failure is logged with the
// file's name and the reason.
LoadResult Load(GKeyFile* file, const std::string& path)
{
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        if (errno == ENOENT)
            return LoadResult::Missing;
        Platform::Log("SettingsStore: cannot read " + path + ": " + g_strerror(errno));
        return LoadResult::Failed;
    }
    if (status.st_size > MaxFileSize) {
        Platform::Log("SettingsStore: " + path + " is larger than " + std::to_string(MaxFileSize) + " bytes; ignored");
        return LoadResult::Failed;
    }
    GError* error = nullptr;
    if (!g_key_file_load_from_file(file, path.c_str(), G_KEY_FILE_KEEP_COMMENTS, &error)) {
        Platform::Log("SettingsStore: cannot read " + path + ": " + error->message);
        g_error_free(error);
        return LoadResult::Failed;
    }
    return LoadResult::Loaded;
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

std::optional<std::string> SettingsStore::ReadText(const std::string& key) const
{
    const std::string path = FilePath();
    KeyFilePtr file(g_key_file_new());
    if (Load(file.get(), path) != LoadResult::Loaded)
        return std::nullopt;
    gchar* text = g_key_file_get_string(file.get(), section_.c_str(), key.c_str(), nullptr);
    if (!text)
        return std::nullopt;
    std::string result(text);
    g_free(text);
    return result;
}

bool SettingsStore::WriteText(const std::string& key, const std::string& text)
{
    const std::string path = FilePath();
    KeyFilePtr file(g_key_file_new());
    if (Load(file.get(), path) == LoadResult::Failed) {
        // What could not be read cannot be kept; the new value is.
        file.reset(g_key_file_new());
        Platform::Log("SettingsStore: writing " + path + " afresh");
    }
    g_key_file_set_string(file.get(), section_.c_str(), key.c_str(), text.c_str());

    gchar* folder = g_path_get_dirname(path.c_str());
    const bool folderReady = g_mkdir_with_parents(folder, 0700) == 0;
    if (!folderReady)
        Platform::Log(std::string("SettingsStore: cannot make the folder ") + folder + ": " + g_strerror(errno));
    g_free(folder);
    if (!folderReady)
        return false;

    // Written to a temporary file and renamed over the old one.
    GError* error = nullptr;
    if (!g_key_file_save_to_file(file.get(), path.c_str(), &error)) {
        Platform::Log("SettingsStore: cannot write " + path + ": " + error->message);
        g_error_free(error);
        return false;
    }
    return true;
}

void SettingsStore::ReportBadValue(const std::string& key, const std::string& text)
{
    Platform::Log("SettingsStore: the value \"" + text + "\" of " + key + " in " + FilePath()
                  + " is not usable; the default is used");
}
