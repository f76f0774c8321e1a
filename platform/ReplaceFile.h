#pragma once
// Replaces a file the user keeps, such as the settings, so that it never holds
// a partial text: the new text goes to a temporary file beside it, which is
// then renamed over it. A symbolic link is followed, so that the link stays
// and its target gets the new text. The temporary files carry a mark no
// person gives a file, so that what a killed replacement left behind can be
// told from the user's own files.
#include <string>

namespace Platform {

// The file `path` names with its symbolic links followed (the last target
// need not exist yet); `path` itself when it is no link. Empty, with the
// reason in `error`, when a link cannot be read or the links loop.
std::string LinkTarget(const std::string& path, std::string& error);

// Writes the bytes in place of the file `path` names, keeping its permissions.
// False, with the reason in `error`, when it cannot; nothing is left behind
// then and the old file is as it was.
bool ReplaceFile(const std::string& path, const std::string& bytes, std::string& error);

// True when `name` is that of a temporary file a replacement of the file
// named `file` (both without folders) makes.
bool IsReplacementOf(const std::string& name, const std::string& file);

// Removes, beside the file `path` names, the temporary files of its
// replacements last changed more than `seconds` ago and owned by this user:
// what a replacement killed midway left. Each removal, and each failure, is
// logged.
void RemoveUnfinishedReplacements(const std::string& path, int seconds);

} // namespace Platform
