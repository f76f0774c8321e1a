// The real program started with standard streams closed, as some launchers
// and services start programs, with logging on: its display connection must
// not take the number of a closed stream, where the log's lines would corrupt
// it. The window comes up, and SIGTERM ends the program with the settings
// written.
#include "ProgramTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace ProgramTest;

TEST(ProgramStart, WithStandardStreamsClosedItRunsAndEndsWithTheSettingsWritten)
{
    const std::vector<std::vector<int>> rows = {{0}, {1}, {2}, {1, 2}, {0, 1, 2}};
    for (const std::vector<int>& closed : rows) {
        std::string what = "closed:";
        for (const int fd : closed)
            what += " " + std::to_string(fd);
        SCOPED_TRACE(what);
        TempFolder settings;
        ASSERT_EQ(0, mkdir((settings.Path() + "/vintrel-pellora").c_str(), 0700));
        Program program("", PELLORA_SOURCE_DIR, settings.Path(), PELLORA_APP_BINARY, PELLORA_SOURCE_DIR, [&closed] {
            setenv("PELLORA_LOG", "1", 1);
            for (const int fd : closed)
                close(fd);
        });
        EXPECT_TRUE(Eventually([&] { return ShownWindows(program.Pid()) > 0; })) << program.Errors();
        kill(program.Pid(), SIGTERM);
        EXPECT_EQ(0, program.Status()) << program.Errors();
        // A key only the close writes.
        EXPECT_NE(std::string::npos, program.Settings().find("MetronomeSampleVis=")) << program.Settings();
    }
}
