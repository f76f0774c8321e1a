#pragma once
// Files the program keeps between runs under $XDG_CACHE_HOME/vintrel-pellora/
// (default ~/.cache/vintrel-pellora/), such as downloaded pictures.
#include <string>

namespace Platform {

// The cache folder, without a trailing "/"; created when missing. Empty,
// with the reason in `error`, when it cannot be made.
std::string CacheFolder(std::string& error);

// A file name for the address that no other address shares: the address
// without its scheme, cleaned to letters, digits, "." and "_" and cut short,
// followed by a hash of the whole address.
std::string CacheFileName(const std::string& address);

// Writes the bytes to a temporary file beside `path` and renames it over
// `path`, so that `path` never holds a partial file. False with the reason
// in `error` on failure (nothing is left behind then).
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error);

} // namespace Platform
