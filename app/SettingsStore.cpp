#include "app/SettingsStore.h"

#include "app/UnreadableCopies.h"
#include "framework/core/Singleton.h"
#include "platform/Log.h"
#include "platform/ReplaceFile.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A settings file is a few hundred bytes; anything far larger is not ours.
constexpr off_t MaxFileSize = 1024 * 1024;
// A save takes milliseconds: a temporary file of ours this old belongs to a
// save that was killed.
constexpr int StaleSeconds = 10;
// What an editor may put before the first line.
const std::string ByteOrderMark = "\xEF\xBB\xBF";
// A refused file is read line by line only up to this size: each line costs
// a parse of its own, and every Get reads the file anew.
constexpr std::size_t MaxSalvageSize = 64 * 1024;

struct KeyFileFree {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, KeyFileFree>;

// Whole: every line was read. Partial: some lines could not be read and were
// left out. Unreadable: nothing could be read (too large, no access).
// Foreign: what stands in the file's place is no regular file (a FIFO, a
// device, a socket, a folder), and is neither read nor written.
enum class LoadResult { Whole, Partial, Missing, Unreadable, Foreign };

struct Loaded {
    KeyFilePtr file{g_key_file_new()};
    LoadResult result = LoadResult::Missing;
    // Why the file is not whole, for the log.
    std::string reason;
};

std::string KindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISDIR(mode))
        return "a folder";
    return "no regular file";
}

// "PATH is a FIFO, not a file", or "PATH is a link to TARGET, a character
// device, not a file".
std::string NotAFile(const std::string& path, mode_t mode)
{
    std::string error;
    const std::string target = Platform::LinkTarget(path, error);
    if (target.empty() || target == path)
        return path + " is " + KindOf(mode) + ", not a file";
    return path + " is a link to " + target + ", " + KindOf(mode) + ", not a file";
}

std::string TooLarge(const std::string& path)
{
    return path + " is larger than " + std::to_string(MaxFileSize) + " bytes; it is not read";
}

// The text of the regular file `path` names, up to MaxFileSize bytes. False,
// with the result and its reason in `loaded`, when there is none to read.
bool ReadRegularFile(const std::string& path, std::string& text, Loaded& loaded)
{
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        const int error = errno;
        // No file, or no folder for it: a first run. A link that leads
        // nowhere is said: the settings will be written where it leads.
        if (error == ENOENT || error == ENOTDIR) {
            std::string ignored;
            const std::string target = Platform::LinkTarget(path, ignored);
            if (!target.empty() && target != path)
                loaded.reason = path + " is a link to " + target
                    + ", where no file is yet; the defaults are used, and the settings are written there";
            return false;
        }
        loaded.result = LoadResult::Unreadable;
        loaded.reason = std::string("cannot read ") + path + ": " + g_strerror(error);
        return false;
    }
    // What is no regular file is not even opened: opening a device may act
    // on it (a serial line, a tape), and a FIFO waits for a writer.
    if (!S_ISREG(status.st_mode)) {
        loaded.result = LoadResult::Foreign;
        loaded.reason = NotAFile(path, status.st_mode);
        return false;
    }
    // Something else may stand there by the time it is opened: opened
    // without waiting, it is looked at again through the open file.
    loaded.result = LoadResult::Unreadable;
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        loaded.reason = std::string("cannot read ") + path + ": " + g_strerror(errno);
        return false;
    }
    bool read = false;
    if (fstat(fd, &status) != 0) {
        loaded.reason = std::string("cannot read ") + path + ": " + g_strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        loaded.result = LoadResult::Foreign;
        loaded.reason = NotAFile(path, status.st_mode);
    } else if (status.st_size > MaxFileSize) {
        loaded.reason = TooLarge(path);
    } else {
        // The size may grow while it is read: the bound holds whatever it
        // said.
        text.clear();
        char buffer[16 * 1024];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                loaded.reason = std::string("cannot read ") + path + ": " + g_strerror(errno);
                break;
            }
            if (n == 0) {
                read = true;
                break;
            }
            text.append(buffer, std::size_t(n));
            if (text.size() > std::size_t(MaxFileSize)) {
                loaded.reason = TooLarge(path);
                break;
            }
        }
    }
    close(fd);
    return read;
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

Loaded Load(const std::string& path, LineSalvage& salvage)
{
    Loaded loaded;
    std::string text;
    if (!ReadRegularFile(path, text, loaded))
        return loaded;
    // An editor's byte-order mark is not part of the first line.
    if (text.compare(0, ByteOrderMark.size(), ByteOrderMark) == 0)
        text.erase(0, ByteOrderMark.size());
    loaded.result = LoadResult::Whole;
    GError* error = nullptr;
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
    const LineSalvage::Result& salvaged = salvage.Of(text);
    const std::string& readable = salvaged.readable;
    const std::vector<int>& dropped = salvaged.dropped;
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

// Where the settings at `path` are written: the file a link there names, in
// a folder made for it if need be. Empty, with why in `error`, when nothing
// can be written: what stands there is no regular file, or no folder can be
// made for it.
std::string WritePlace(const std::string& path, const Loaded& loaded, std::string& error)
{
    if (loaded.result == LoadResult::Foreign) {
        error = loaded.reason + ", and is left as it is";
        return "";
    }
    // A link stays, and the file it names is written.
    const std::string target = Platform::LinkTarget(path, error);
    if (target.empty())
        return "";
    gchar* folder = g_path_get_dirname(path.c_str());
    if (g_mkdir_with_parents(folder, 0700) != 0)
        error = std::string("cannot make the folder ") + folder + ": " + g_strerror(errno);
    const bool made = error.empty();
    g_free(folder);
    return made ? target : "";
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
    // "nan" and "inf" read as numbers, but no setting is one of them.
    float number = 0.0f;
    if (!ParseNumber(text, number) || !std::isfinite(number))
        return false;
    value = number;
    return true;
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
    const Loaded loaded = Load(FilePath(), salvage_);
    if (loaded.result == LoadResult::Foreign)
        LogOnce("SettingsStore: " + loaded.reason + "; it is left as it is, and the defaults are used");
    else if (!loaded.reason.empty())
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

SettingsStore::Batch::Batch()
{
    ++Instance().batches_;
}

SettingsStore::Batch::~Batch()
{
    --Instance().batches_;
    Write();
}

bool SettingsStore::Batch::Write()
{
    SettingsStore& store = Instance();
    if (store.batched_.empty())
        return true;
    Texts texts;
    texts.swap(store.batched_);
    return store.WriteTexts(texts);
}

bool SettingsStore::WriteText(const std::string& key, const std::string& text)
{
    if (batches_ > 0) {
        batched_.emplace_back(key, text);
        // Written when the batch ends; whether anything can be written there
        // is known now.
        const std::string path = FilePath();
        std::string error;
        if (WritePlace(path, Load(path, salvage_), error).empty())
            return WriteFailed(error);
        return true;
    }
    return WriteTexts({{key, text}});
}

bool SettingsStore::WriteTexts(const Texts& texts)
{
    const std::string path = FilePath();
    Loaded loaded = Load(path, salvage_);
    std::string error;
    const std::string target = WritePlace(path, loaded, error);
    if (target.empty())
        return WriteFailed(error);
    bool changed = false;
    for (const auto& [key, text] : texts) {
        const auto unusable = unusable_.find(key);
        if (unusable != unusable_.end()) {
            // The default given in place of a stored value that could not be
            // used does not replace it: read again, it gives that default.
            gchar* raw = g_key_file_get_value(loaded.file.get(), section_.c_str(), key.c_str(), nullptr);
            const bool unchanged = raw && unusable->second.raw == raw;
            g_free(raw);
            if (unchanged && unusable->second.defaultText == text)
                continue;
            unusable_.erase(unusable);
        }
        g_key_file_set_string(loaded.file.get(), section_.c_str(), key.c_str(), text.c_str());
        changed = true;
    }
    if (!changed)
        return true;

    // What could not be read stays the user's, under a second name beside the
    // new file. Linked there, it keeps its own name too until the new file has
    // replaced it whole, so that a write that fails (a full disk) loses
    // nothing; what cannot be linked (a file system without hard links) is
    // moved there, and back when the write fails.
    std::string aside;
    bool moved = false;
    if (loaded.result == LoadResult::Unreadable || loaded.result == LoadResult::Partial) {
        aside = UnreadableCopies::NewName(target);
        if (link(target.c_str(), aside.c_str()) != 0) {
            if (std::rename(target.c_str(), aside.c_str()) != 0)
                return WriteFailed(loaded.reason + ", and it cannot be kept as " + aside + ": " + g_strerror(errno));
            moved = true;
        }
    }
    gsize length = 0;
    gchar* data = g_key_file_to_data(loaded.file.get(), &length, nullptr);
    const std::string bytes(data, length);
    g_free(data);
    if (!Platform::ReplaceFile(target, bytes, error)) {
        if (moved && std::rename(aside.c_str(), target.c_str()) != 0)
            error += "; what could not be read stays as " + aside + " (" + g_strerror(errno) + ")";
        else if (!moved && !aside.empty())
            g_unlink(aside.c_str());
        return WriteFailed(error);
    }
    failingPath_.clear();
    if (!aside.empty()) {
        Platform::Log("SettingsStore: " + loaded.reason + "; it is kept as " + aside + ", and " + target
                      + " is written anew with what could be read");
        UnreadableCopies::RemoveOld(target, aside);
    }
    return true;
}

bool SettingsStore::WriteFailed(const std::string& why)
{
    // A save sets every key in turn, and each would meet the same fault.
    const std::string path = FilePath();
    if (path != failingPath_)
        Platform::Log("SettingsStore: " + why + "; the settings are not stored");
    failingPath_ = path;
    return false;
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
    Platform::RemoveUnfinishedReplacements(FilePath(), StaleSeconds);
}
