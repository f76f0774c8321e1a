#include "platform/ReplaceFile.h"

#include "platform/Log.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {
namespace {

// No person names a file so; the six characters are mkstemp's.
const char kMark[] = ".pellora-unfinished-";
constexpr std::size_t kRandomLength = 6;
// As the kernel allows before it gives up on a path.
constexpr int kMaxLinks = 40;

std::string ErrnoText(int error)
{
    return g_strerror(error);
}

std::string Folder(const std::string& path)
{
    gchar* folder = g_path_get_dirname(path.c_str());
    std::string text = folder;
    g_free(folder);
    return text;
}

std::string BaseName(const std::string& path)
{
    gchar* name = g_path_get_basename(path.c_str());
    std::string text = name;
    g_free(name);
    return text;
}

bool WriteAll(int fd, const std::string& bytes)
{
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::string LinkTarget(const std::string& path, std::string& error)
{
    std::string current = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat status;
        if (lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return current;
        GError* failure = nullptr;
        gchar* target = g_file_read_link(current.c_str(), &failure);
        if (!target) {
            error = "cannot read the link " + current + ": " + failure->message;
            g_error_free(failure);
            return std::string();
        }
        const std::string next = target;
        g_free(target);
        current = g_path_is_absolute(next.c_str()) ? next : Folder(current) + "/" + next;
    }
    error = path + " leads through more than " + std::to_string(kMaxLinks) + " links";
    return std::string();
}

bool ReplaceFile(const std::string& path, const std::string& bytes, std::string& error)
{
    const std::string target = LinkTarget(path, error);
    if (target.empty())
        return false;
    std::string temporary = target + kMark + std::string(kRandomLength, 'X');
    const int fd = g_mkstemp_full(temporary.data(), O_RDWR | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = "cannot create a temporary file for " + target + ": " + ErrnoText(errno);
        return false;
    }
    const auto fail = [&](const std::string& what) {
        error = what + ": " + ErrnoText(errno);
        close(fd);
        g_unlink(temporary.c_str());
        return false;
    };
    struct stat old;
    if (stat(target.c_str(), &old) == 0 && fchmod(fd, old.st_mode & 07777) != 0)
        return fail("cannot give " + temporary + " the permissions of " + target);
    // Flushed before the rename, so that a crash leaves the old text or the
    // new one, never an empty file.
    if (!WriteAll(fd, bytes) || fsync(fd) != 0)
        return fail("cannot write " + temporary);
    if (close(fd) != 0) {
        error = "cannot write " + temporary + ": " + ErrnoText(errno);
        g_unlink(temporary.c_str());
        return false;
    }
    if (g_rename(temporary.c_str(), target.c_str()) != 0) {
        error = "cannot rename " + temporary + " to " + target + ": " + ErrnoText(errno);
        g_unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool IsReplacementOf(const std::string& name, const std::string& file)
{
    const std::string prefix = file + kMark;
    if (name.size() != prefix.size() + kRandomLength || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < name.size(); ++i)
        if (!g_ascii_isalnum(name[i]))
            return false;
    return true;
}

void RemoveUnfinishedReplacements(const std::string& path, int seconds)
{
    std::string error;
    const std::string target = LinkTarget(path, error);
    if (target.empty()) {
        Log("cannot look for unfinished saves of " + path + ": " + error);
        return;
    }
    const std::string folder = Folder(target), file = BaseName(target);
    GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
    if (!dir)
        return;
    const std::time_t now = std::time(nullptr);
    while (const gchar* name = g_dir_read_name(dir)) {
        if (!IsReplacementOf(name, file))
            continue;
        const std::string temporary = folder + "/" + name;
        struct stat status;
        if (lstat(temporary.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != geteuid()
            || now - status.st_mtime <= seconds)
            continue;
        if (g_unlink(temporary.c_str()) == 0)
            Log("removed " + temporary + ", left by a save of " + target + " that did not finish");
        else
            Log("cannot remove " + temporary + ": " + ErrnoText(errno));
    }
    g_dir_close(dir);
}

} // namespace Platform
