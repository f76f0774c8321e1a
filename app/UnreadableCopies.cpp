#include "app/UnreadableCopies.h"

#include "platform/Log.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <sys/stat.h>
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

bool IsStamp(const std::string& text, std::size_t from)
{
    return Digits(text, from, 8) && text.size() >= from + kStampLength && text[from + 8] == '-'
        && Digits(text, from + 9, 6);
}

// The number written from `from` to `to`, as its digits: one or more, without
// a leading zero (no name of ours has one), of any length, since a copy may
// stand beside a count no integer holds; empty when there is none. Kept as
// text, a count never overflows, and the next one always ranks above it.
std::string NumberBetween(const std::string& text, std::size_t from, std::size_t to)
{
    if (to <= from || text[from] == '0' || !Digits(text, from, to - from))
        return "";
    return text.substr(from, to - from);
}

// Of two numbers as NumberBetween reads them, whether the first is the
// larger: the longer is.
bool Above(const std::string& number, const std::string& other)
{
    return number.size() != other.size() ? number.size() > other.size() : number > other;
}

// One more than the number ("1" after none).
std::string Next(std::string number)
{
    for (std::size_t i = number.size(); i-- > 0;) {
        if (number[i] != '9') {
            ++number[i];
            return number;
        }
        number[i] = '0';
    }
    return "1" + number;
}

// A copy's name read for its rank: counted copies after those from before the
// count, by their count; those by their stamp and their number among the
// copies of the same second (1 for the first, which has none).
struct Copy {
    std::string name;
    std::string count; // none: from before the count
    std::string stamp;
    std::string number = "1";

    bool NewerThan(const Copy& other) const
    {
        if (count != other.count)
            return Above(count, other.count);
        if (stamp != other.stamp)
            return stamp > other.stamp;
        return Above(number, other.number);
    }
};

bool ReadCopy(const std::string& name, const std::string& file, Copy& copy)
{
    const std::string prefix = file + kMark;
    if (name.compare(0, prefix.size(), prefix) != 0)
        return false;
    const std::size_t from = prefix.size();
    copy = Copy{};
    copy.name = name;
    // Counted: "N-DATE-TIME", and nothing after it.
    const std::size_t dash = name.find('-', from);
    if (dash != std::string::npos && dash + 1 + kStampLength == name.size() && IsStamp(name, dash + 1)) {
        copy.count = NumberBetween(name, from, dash);
        copy.stamp = name.substr(dash + 1);
        return !copy.count.empty();
    }
    // From before the count: "DATE-TIME", then "-2" and on, as it counted the
    // copies of a second; no sign, no leading zero, no end of another kind.
    if (!IsStamp(name, from))
        return false;
    copy.stamp = name.substr(from, kStampLength);
    const std::size_t rest = from + kStampLength;
    if (rest == name.size())
        return true;
    copy.number = name[rest] == '-' ? NumberBetween(name, rest + 1, name.size()) : "";
    return Above(copy.number, "1");
}

// The copies of `file` in `folder` (each name of the pattern, whatever
// stands there).
std::vector<Copy> CopiesIn(const std::string& folder, const std::string& file)
{
    std::vector<Copy> copies;
    GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
    if (!dir)
        return copies;
    while (const gchar* name = g_dir_read_name(dir)) {
        Copy copy;
        if (ReadCopy(name, file, copy))
            copies.push_back(copy);
    }
    g_dir_close(dir);
    return copies;
}

std::string FolderOf(const std::string& path)
{
    gchar* text = g_path_get_dirname(path.c_str());
    const std::string folder = text;
    g_free(text);
    return folder;
}

std::string FileOf(const std::string& path)
{
    gchar* text = g_path_get_basename(path.c_str());
    const std::string file = text;
    g_free(text);
    return file;
}

} // namespace

std::string NewName(const std::string& path)
{
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    // Whatever bears a count already, a folder or a link too, counts: a
    // new copy always ranks above it.
    std::string count;
    for (const Copy& copy : CopiesIn(FolderOf(path), FileOf(path)))
        if (Above(copy.count, count))
            count = copy.count;
    std::string name;
    do
        name = path + kMark + (count = Next(count)) + "-" + stamp;
    while (g_file_test(name.c_str(), G_FILE_TEST_EXISTS));
    return name;
}

void RemoveOld(const std::string& path, const std::string& made)
{
    const std::string folder = FolderOf(path), file = FileOf(path), madeName = FileOf(made);
    std::vector<Copy> copies;
    for (const Copy& copy : CopiesIn(folder, file)) {
        struct stat status;
        // A folder or a link of that name is not one of ours.
        if (copy.name != madeName && lstat((folder + "/" + copy.name).c_str(), &status) == 0 && S_ISREG(status.st_mode)
            && status.st_uid == geteuid())
            copies.push_back(copy);
    }
    // The one made now is one of those kept.
    const std::size_t others = Kept - 1;
    if (copies.size() <= others)
        return;
    std::sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) { return a.NewerThan(b); });
    for (std::size_t i = others; i < copies.size(); ++i) {
        const std::string old = folder + "/" + copies[i].name;
        if (g_unlink(old.c_str()) == 0)
            Platform::Log("SettingsStore: removed " + old + ": the newest " + std::to_string(Kept)
                          + " copies of an unreadable " + file + " are kept");
        else
            Platform::Log("SettingsStore: cannot remove " + old + ": " + g_strerror(errno));
    }
}

} // namespace UnreadableCopies
