#include "app/ShellOpen.h"

#include "platform/ChildSpawn.h"
#include "platform/Log.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>


namespace {

// "http://...", "mailto:..." and their like: a scheme of letters, digits,
// "+", "-" and "." followed by ":". A single letter before ":" is not taken
// for a scheme.
bool IsAddress(const std::string& document)
{
    const std::string::size_type colon = document.find(':');
    if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(document[0])))
        return false;
    for (std::string::size_type i = 1; i < colon; ++i) {
        const char c = document[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

// A system error's text inside a sentence: "Permission denied" reads
// "permission denied".
std::string Phrase(std::string text)
{
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

std::string Absolute(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char* folder = getcwd(nullptr, 0);
    if (!folder)
        return path;
    std::string result = std::string(folder) + "/" + path;
    std::free(folder);
    return result;
}

} // namespace

ShellResult ShellOpen(const std::string& document)
{
    std::string argument = document;
    if (!IsAddress(document)) {
        struct stat status;
        if (stat(document.c_str(), &status) != 0)
            return ShellResult::Failure(errno == ENOENT ? "the file is missing" : Phrase(std::strerror(errno)));
        argument = Absolute(document);
    }

    char program[] = "xdg-open";
    char* arguments[] = {program, argument.data(), nullptr};
    pid_t child = 0;
    const int error = Platform::SpawnChild(child, program, arguments);
    if (error != 0) {
        Platform::Log("ShellOpen: cannot start xdg-open for " + document + ": " + std::strerror(error));
        if (error == ENOENT)
            return ShellResult::Failure("no program to open documents is installed (xdg-open, from xdg-utils)");
        return ShellResult::Failure("the program that opens documents (xdg-open) could not be started: "
                                    + Phrase(std::strerror(error)));
    }
    // The opener hands the document on and ends; collect it without waiting here.
    std::thread([child] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    }).detach();
    return ShellResult{};
}
