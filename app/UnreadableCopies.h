#pragma once
// The copies of a settings file that could not be read whole, kept beside it
// as FILE.unreadable-DATE-TIME (FILE.unreadable-DATE-TIME-2 and on when that
// second's name is taken): how they are named, told from other files, and
// how many of them stay.
#include <string>

namespace UnreadableCopies {

// How many copies stay: the newest ones.
constexpr int Kept = 3;

// A free name for a new copy of the file `path`, stamped with the local time.
std::string NewName(const std::string& path);

// True when `name` is that of a copy of the file named `file` (both without
// folders), exactly as NewName makes it.
bool IsCopyOf(const std::string& name, const std::string& file);

// Removes all but the Kept newest copies of the file `path` that are
// regular files of this user; nothing else. Each removal, and each failure,
// is logged.
void RemoveOld(const std::string& path);

} // namespace UnreadableCopies
