// The user's settings file, whatever an editor or a crash left in it: every
// read gives a value, and a value set is read back.
#include "app/SettingsStore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path home
        = std::filesystem::temp_directory_path() / ("pellora-fuzz-settings-" + std::to_string(::getpid()));
    static const bool homeSet = (std::filesystem::create_directories(home / "vintrel-pellora"),
                                 ::setenv("XDG_CONFIG_HOME", home.c_str(), 1) == 0);
    if (!homeSet)
        std::abort();
    // What a set kept aside (a file it could not read whole) is not kept.
    for (const auto& entry : std::filesystem::directory_iterator(home / "vintrel-pellora"))
        if (entry.path().filename() != "settings.ini")
            std::filesystem::remove(entry.path());
    {
        std::ofstream out(SettingsStore::FilePath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    SettingsStore& store = SettingsStore::Instance();
    (void)store.Get("Bpm", 114);
    (void)store.Get("Frequency", 440.0f);
    (void)store.Get("AutoSelect", true);
    (void)store.Get("Instrument", "Guitar");
    if (!store.Set("Bpm", 120) || store.Get("Bpm", 0) != 120)
        std::abort();
    return 0;
}
