// A skin document through the real loader and factory, with every type of the
// program registered, built into objects and worked as a user and the clock
// would (fuzz/SkinDrive.h). Relative names resolve in the input's folder,
// which holds the repository's skin folder "XML" and every test picture by
// its own name, so that the seeds (the repository's skins) find their
// pictures and documents.
#include "framework/core/DocMap.h"
#include "framework/core/VaboInit.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/SkinDrive.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>

namespace {

// The repository, from the library folder scripts/fuzz.sh names.
std::filesystem::path Repository()
{
    const char* library = std::getenv("VINTREL_LIB");
    return library ? std::filesystem::path(library) : std::filesystem::current_path();
}

void LinkRepositoryFiles(const std::filesystem::path& folder)
{
    std::error_code ignored;
    const std::filesystem::path top = Repository();
    std::filesystem::create_directory_symlink(top / "XML", folder / "XML", ignored);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(top / "tests" / "data", ignored)) {
        const std::string extension = entry.path().extension().string();
        if (extension == ".png" || extension == ".bmp")
            std::filesystem::create_symlink(entry.path(), folder / entry.path().filename(), ignored);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    DllVaboInitInstance();
    Fuzz::InputFile file(data, size, "Skin.xml");
    static const bool linked = (LinkRepositoryFiles(file.Folder()), true);
    (void)linked;
    DllDocMapInstance().SetAppFolder(file.Folder());
    Platform::ManualClock clock(1000);
    try {
        Fuzz::DriveSkin(file.Path(), clock);
    } catch (const std::exception&) {
        // Construction from a broken skin reports failure by exceptions.
    }
    return 0;
}
