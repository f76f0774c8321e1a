#pragma once
// Whole files read and written in one call, for tests that check what the
// program stored or hand it a document of their own.
#include <string>

namespace TestSupport {

// The file's bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

} // namespace TestSupport
