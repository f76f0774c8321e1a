#pragma once
// Opens a document with the desktop's default program through xdg-open,
// started without a shell with the document as its one argument. A document
// that is not an address ("scheme:...") must be an existing file; its path is
// made absolute first, since the opener does not start in our folder.
#include <optional>
#include <string>

struct ShellResult {
    bool ok = true;
    // Why the document could not be opened, as a phrase for the user.
    std::optional<std::string> error;

    static ShellResult Failure(std::string text) { return ShellResult{false, std::move(text)}; }
    // 0 when opened, -1 otherwise.
    int Status() const { return ok ? 0 : -1; }
};

ShellResult ShellOpen(const std::string& document);
