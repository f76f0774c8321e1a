// Skins the skin fuzzing harness once failed on, and hostile skins whose
// numbers left their ranges, worked through the harness's own drive (built,
// ticked, also late, pressed, typed at, resized and drawn): under the
// sanitizers any overflow or undefined conversion fails the run.
#include "fuzz/SkinDrive.h"
#include "platform/Log.h"
#include "support/DocMapFolders.h"

#include <gtest/gtest.h>

#include <exception>
#include <filesystem>

TEST(SkinFuzzRegression, HostileSkinsAreWorkedWithoutFault)
{
    DocMapFolders folders(PELLORA_SOURCE_DIR, PELLORA_SOURCE_DIR "/lib/VABO/XML");
    Platform::ManualClock clock(1000);
    int skins = 0;
    for (const auto& entry : std::filesystem::directory_iterator(PELLORA_SOURCE_DIR "/fuzz/regressions/skin")) {
        SCOPED_TRACE(entry.path().string());
        Platform::LogCapture quiet;
        try {
            Fuzz::DriveSkin(entry.path().string(), clock);
        } catch (const std::exception&) {
            // A refused skin is a right answer too.
        }
        ++skins;
    }
    EXPECT_GE(skins, 8);
}
