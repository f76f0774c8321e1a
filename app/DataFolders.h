#pragma once
// Where the program's skin, definitions, sounds and guide lie, so that it
// starts from any working folder: the tree named by $VINTREL_LIB when that
// folder holds lib/VABO/XML; else share/pellora beside the executable's folder (an
// installed prefix, or the build tree, which links it to the sources); else
// the working folder.
#include <string>

struct DataFolders {
    std::string app;     // holds XML/Pellora.xml, the sounds, doc/ and LICENSE
    std::string library; // the framework's definitions (lib/VABO/XML)

    // Empty folders when neither the variable nor an installed tree is found.
    static DataFolders Find(const char* vintrelLib, const std::string& executableFolder);
    // Points the process's document map at the folders found for this program.
    static void Use();
};
