#pragma once
// Starts another program (a document opener, an editor) as a child, with no
// shell between. A signal the program ignores for its own sake only (SIGPIPE,
// when its log may write into a pipe nobody reads) is given back its default
// action in the child, which never asked for it; signals ignored by whoever
// started the program (nohup) stay ignored in the child too.
#include <sys/types.h>

namespace Platform {

// Ignores the signal in this process, but not in the children started below.
void IgnoreForOurselvesOnly(int signal);
// posix_spawnp of program with argv and this environment; 0 or its error.
int SpawnChild(pid_t& child, const char* program, char* const argv[]);

} // namespace Platform
