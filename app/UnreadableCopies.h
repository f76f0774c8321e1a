#pragma once
// The copies of a settings file that could not be read whole, kept beside it
// as FILE.unreadable-N-DATE-TIME: N counts the copies up (one more than the
// highest there, in as many digits as that takes), and DATE-TIME is the local
// time, for the reader. The count ranks them, since the clock or the time
// zone may move back between two saves. Copies from before the count (FILE.unreadable-DATE-TIME, and
// FILE.unreadable-DATE-TIME-2 and on when that second's name was taken) are
// still told and kept in turn, older than every counted one. How they are
// named, told from other files, and how many of them stay.
#include <string>

namespace UnreadableCopies {

// How many copies stay: the newest ones.
constexpr int Kept = 3;

// A free name for a new copy of the file `path`, counted on from the copies
// beside it and stamped with the local time.
std::string NewName(const std::string& path);

// Removes all but the Kept newest copies of the file `path` that are
// regular files of this user; nothing else. `made`, the copy this save made
// (a full path), is the newest whatever its name and stays. Each removal, and
// each failure, is logged.
void RemoveOld(const std::string& path, const std::string& made);

} // namespace UnreadableCopies
