#include "app/UnreadableCopies.h"

#include "platform/Log.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace UnreadableCopies {
namespace {

const char kMark[] = ".unreadable-";
// "20260101-120000": the date, a dash and the time.
constexpr std::size_t kStampLength = 15;

bool Digits(const std::string& text, std::size_t from, std::size_t count)
{
    if (from + count > text.size())
        return false;
    for (std::size_t i = from; i < from + count; ++i)
        if (!g_ascii_isdigit(text[i]))
            return false;
    return true;
}

// A copy's name split into its stamp and its number among the copies of the
// same second (1 for the first, which has none).
struct Copy {
    std::string name;
    std::string stamp;
    unsigned long number = 1;
};

bool ReadCopy(const std::string& name, const std::string& file, Copy& copy)
{
    const std::string prefix = file + kMark;
    if (name.compare(0, prefix.size(), prefix) != 0)
        return false;
    const std::size_t stamp = prefix.size();
    if (!Digits(name, stamp, 8) || name.size() < stamp + kStampLength || name[stamp + 8] != '-'
        || !Digits(name, stamp + 9, 6))
        return false;
    copy.name = name;
    copy.stamp = name.substr(stamp, kStampLength);
    copy.number = 1;
    const std::size_t rest = stamp + kStampLength;
    if (rest == name.size())
        return true;
    // "-2" and on, as NewName counts; no sign, no leading zero, no end of
    // another kind.
    const std::size_t count = name.size() - rest - 1;
    if (name[rest] != '-' || count == 0 || count > 9 || name[rest + 1] == '0' || !Digits(name, rest + 1, count))
        return false;
    copy.number = std::strtoul(name.c_str() + rest + 1, nullptr, 10);
    return copy.number >= 2;
}

} // namespace

std::string NewName(const std::string& path)
{
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + kMark + stamp;
    std::string name = base;
    for (int n = 2; g_file_test(name.c_str(), G_FILE_TEST_EXISTS); ++n)
        name = base + "-" + std::to_string(n);
    return name;
}

bool IsCopyOf(const std::string& name, const std::string& file)
{
    Copy copy;
    return ReadCopy(name, file, copy);
}

void RemoveOld(const std::string& path)
{
    gchar* folderText = g_path_get_dirname(path.c_str());
    gchar* fileText = g_path_get_basename(path.c_str());
    const std::string folder = folderText, file = fileText;
    g_free(folderText);
    g_free(fileText);
    GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
    if (!dir)
        return;
    std::vector<Copy> copies;
    while (const gchar* name = g_dir_read_name(dir)) {
        Copy copy;
        struct stat status;
        // A folder or a link of that name is not one of ours.
        if (ReadCopy(name, file, copy) && lstat((folder + "/" + name).c_str(), &status) == 0 && S_ISREG(status.st_mode)
            && status.st_uid == geteuid())
            copies.push_back(copy);
    }
    g_dir_close(dir);
    if (copies.size() <= std::size_t(Kept))
        return;
    // The stamps are read as they sort; the newest first.
    std::sort(copies.begin(), copies.end(),
              [](const Copy& a, const Copy& b) { return std::tie(a.stamp, a.number) > std::tie(b.stamp, b.number); });
    for (std::size_t i = Kept; i < copies.size(); ++i) {
        const std::string old = folder + "/" + copies[i].name;
        if (g_unlink(old.c_str()) == 0)
            Platform::Log("SettingsStore: removed " + old + ": the newest " + std::to_string(Kept)
                          + " copies of an unreadable " + file + " are kept");
        else
            Platform::Log("SettingsStore: cannot remove " + old + ": " + g_strerror(errno));
    }
}

} // namespace UnreadableCopies
