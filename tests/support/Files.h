#pragma once
// Whole files read and written in one call, for tests that check what the
// program stored or hand it a document of their own; what stands at a path.
#include <string>

namespace TestSupport {

// The file's bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// What stands at the path, as a listing shows it: its kind, where a link
// leads and what stands there, what a file holds, what a folder's file
// "notes" holds, a device's numbers.
std::string Standing(const std::string& path);

// The system's /dev/zero (minor 5) or /dev/null (minor 3); for root, who
// could write over them, a node of the same device made in the folder.
std::string Device(const std::string& folder, const char* name, unsigned minorNumber);

} // namespace TestSupport
