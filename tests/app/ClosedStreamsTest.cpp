// The real program started with standard streams closed, as some launchers
// and services start programs, with logging on: its display connection must
// not take the number of a closed stream, where the log's lines would corrupt
// it. That holds too where /dev/null cannot be opened for writing, or at all
// (a sandbox, a chroot), as the program's own mount namespace makes it here.
// The window comes up, and SIGTERM ends the program with the settings written.
#include "ProgramTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace ProgramTest;

namespace {

enum class DevNull { Writable, ReadOnly, Unopenable };

// In a mount namespace of the calling process's own, /dev/null made what the
// state says: a read-only empty file (`file`), or the device on a mount that
// allows no devices. False when that cannot be done (no privilege for it).
bool MakeDevNull(DevNull state, const std::string& file)
{
    if (state == DevNull::Writable)
        return true;
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return false;
    const bool readOnly = state == DevNull::ReadOnly;
    return mount(readOnly ? file.c_str() : "/dev/null", "/dev/null", nullptr, MS_BIND, nullptr) == 0
        && mount(nullptr, "/dev/null", nullptr,
                 MS_REMOUNT | MS_BIND | MS_NOSUID | MS_NOEXEC | (readOnly ? MS_RDONLY : MS_NODEV), nullptr)
        == 0;
}

// Whether a child can make /dev/null so, and it then refuses what it should.
bool CanMakeDevNull(DevNull state, const std::string& file)
{
    const pid_t child = fork();
    if (child == 0) {
        const bool made = MakeDevNull(state, file) && open("/dev/null", O_WRONLY) == -1
            && (open("/dev/null", O_RDONLY) == -1) == (state == DevNull::Unopenable);
        _exit(made ? 0 : 1);
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(ProgramStart, WithStandardStreamsClosedItRunsAndEndsWithTheSettingsWritten)
{
    TempFolder files;
    const std::string emptyFile = files.Path() + "/empty";
    ASSERT_EQ(0, close(open(emptyFile.c_str(), O_CREAT | O_WRONLY, 0444)));
    const struct {
        const char* what;
        DevNull state;
    } devNulls[] = {{"/dev/null writable", DevNull::Writable},
                    {"/dev/null read-only", DevNull::ReadOnly},
                    {"/dev/null unopenable", DevNull::Unopenable}};
    const std::vector<std::vector<int>> closedSets = {{0}, {1}, {2}, {1, 2}, {0, 1, 2}};
    std::string notRun;
    for (const auto& devNull : devNulls) {
        if (devNull.state != DevNull::Writable && !CanMakeDevNull(devNull.state, emptyFile)) {
            notRun += std::string(" ") + devNull.what + ";";
            continue;
        }
        for (const std::vector<int>& closed : closedSets) {
            std::string what = std::string(devNull.what) + ", closed:";
            for (const int fd : closed)
                what += " " + std::to_string(fd);
            SCOPED_TRACE(what);
            TempFolder settings;
            ASSERT_EQ(0, mkdir((settings.Path() + "/vintrel-pellora").c_str(), 0700));
            const DevNull state = devNull.state;
            Program program("", PELLORA_SOURCE_DIR, settings.Path(), PELLORA_APP_BINARY, PELLORA_SOURCE_DIR,
                            [&closed, state, &emptyFile] {
                                if (!MakeDevNull(state, emptyFile))
                                    _exit(125);
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
    if (!notRun.empty())
        GTEST_SKIP() << "no private mount namespace could make /dev/null so (root is needed), not tried:" << notRun;
}
