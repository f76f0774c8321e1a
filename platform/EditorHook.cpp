#include "platform/EditorHook.h"

#include "platform/ChildSpawn.h"
#include "platform/Log.h"

#include <cstdlib>
#include <cstring>


namespace Platform {
namespace {

bool UserOptedIn()
{
    const char* flag = std::getenv("PELLORA_EDIT_BROKEN_SKINS");
    return flag && std::strcmp(flag, "1") == 0;
}

const char* Editor()
{
    if (const char* visual = std::getenv("VISUAL"); visual && *visual)
        return visual;
    if (const char* editor = std::getenv("EDITOR"); editor && *editor)
        return editor;
    return nullptr;
}

} // namespace

void OpenInEditor(const std::string& path)
{
    Log("Broken skin file: " + path);
    if (!UserOptedIn())
        return;
    const char* editor = Editor();
    if (!editor) {
        Log("No editor to open " + path + ": set VISUAL or EDITOR");
        return;
    }
    // The editor is one program name and the file one argument: no shell.
    std::string program = editor;
    std::string file = path;
    char* argv[] = {program.data(), file.data(), nullptr};
    pid_t pid = 0;
    if (SpawnChild(pid, program.c_str(), argv) != 0)
        Log("Could not start editor " + program + " for " + path);
}

} // namespace Platform
