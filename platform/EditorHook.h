#pragma once
// Offering a broken skin file to the user's editor. The file is always logged;
// an editor ($VISUAL, else $EDITOR) is started only when the user opted in
// with PELLORA_EDIT_BROKEN_SKINS=1, so tests and CI never start one.
#include <string>

namespace Platform {

void OpenInEditor(const std::string& path);

} // namespace Platform
