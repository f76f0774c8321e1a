#pragma once
// The folder of the running program's own executable, so that a program
// started from anywhere finds the files installed beside it.
#include <string>

namespace Platform {

// Absolute, without a trailing slash; empty (logged) when it cannot be told.
std::string ExecutableFolder();

} // namespace Platform
