#include "app/SettingsStore.h"
#include "app/LineSalvage.h"
#include "app/SettingsWriters.h"
#include "app/UnreadableCopies.h"

#include "platform/Log.h"
#include "support/TempFolder.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <locale>
#include <set>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utime.h>

namespace {

using TestSupport::Device;
using TestSupport::ReadFile;
using TestSupport::Standing;
using TestSupport::WriteFile;
bool Exists(const std::string& path) { return TestSupport::FileExists(path); }

// Each test gets its own configuration folder.
class SettingsStoreTest : public ::testing::Test {
protected:
    void Store(const std::string& lines)
    {
        ASSERT_EQ(0, std::system(("mkdir -p '" + folder_.Path() + "/vintrel-pellora'").c_str()));
        WriteFile(path_, "[Pellora Settings]\n" + lines);
    }

    // The files beside the settings file whose names start with `prefix`.
    std::vector<std::string> Beside(const std::string& prefix)
    {
        std::vector<std::string> names;
        if (DIR* dir = opendir((folder_.Path() + "/vintrel-pellora").c_str())) {
            while (const dirent* entry = readdir(dir))
                if (std::string(entry->d_name).rfind(prefix, 0) == 0)
                    names.push_back(entry->d_name);
            closedir(dir);
        }
        return names;
    }

    SettingsStore& store_ = SettingsStore::Instance();
    TempFolder folder_{"XDG_CONFIG_HOME"};
    std::string path_ = folder_.Path() + "/vintrel-pellora/settings.ini";
};

// While it lives, no file of this process grows past `bytes`: a write past
// that fails as on a full disk, without a mount or any privilege.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lowered = old_;
        lowered.rlim_cur = bytes;
        oldAction_ = std::signal(SIGXFSZ, SIG_IGN);
        set_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldAction_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool Set() const { return set_; }

private:
    rlimit old_{};
    void (*oldAction_)(int) = nullptr;
    bool set_ = false;
};

// The keys an exit's save writes, in its order.
const char* const kSavedKeys[] = {"Frequency",  "Instrument",   "Style",     "Transpose",    "Input",
                                  "AutoSelect", "TunerVisible", "Threshold", "Bpm",          "Accent",
                                  "Output",     "TuneVis",      "SampleVis", "MetronomeVis", "MetronomeSampleVis"};

int LinesWith(const Platform::LogCapture& log, const std::string& text)
{
    return int(std::count_if(log.Messages().begin(), log.Messages().end(),
                             [&text](const std::string& line) { return line.find(text) != std::string::npos; }));
}

} // namespace

TEST_F(SettingsStoreTest, FirstRunGivesTheDefaultsAndWritesNothing)
{
    EXPECT_EQ(path_, SettingsStore::FilePath());
    EXPECT_EQ(440.0f, store_.Get<float>("Frequency", 440.0f));
    EXPECT_EQ(114, store_.Get("Bpm", 114));
    EXPECT_TRUE(store_.Get("TunerVisible", true));
    EXPECT_EQ("MIC", store_.Get("Input", "MIC"));
    EXPECT_FALSE(Exists(path_));
}

TEST_F(SettingsStoreTest, ValuesRoundTripInTheirTextForms)
{
    ASSERT_TRUE(store_.Set("Frequency", 440.5f));
    EXPECT_NE(std::string::npos, ReadFile(path_).find("[Pellora Settings]\nFrequency=440.5\n"));
    EXPECT_EQ(440.5f, store_.Get("Frequency", 0.0f));

    ASSERT_TRUE(store_.Set("Frequency", 440.0f));
    ASSERT_TRUE(store_.Set("Bpm", -12));
    ASSERT_TRUE(store_.Set("TunerVisible", true));
    ASSERT_TRUE(store_.Set<std::string>("Instrument", " Guitar = 6 strings;\nnew line "));
    const std::string text = ReadFile(path_);
    EXPECT_NE(std::string::npos, text.find("Frequency=440\n"));
    EXPECT_NE(std::string::npos, text.find("Bpm=-12\n"));
    EXPECT_NE(std::string::npos, text.find("TunerVisible=1\n"));
    EXPECT_EQ(-12, store_.Get("Bpm", 0));
    EXPECT_TRUE(store_.Get("TunerVisible", false));
    EXPECT_EQ(" Guitar = 6 strings;\nnew line ", store_.Get("Instrument", ""));

    // Other keys and the file's comments survive a write.
    WriteFile(path_, "# kept\n" + ReadFile(path_));
    ASSERT_TRUE(store_.Set("TunerVisible", false));
    EXPECT_EQ(0u, ReadFile(path_).find("# kept\n"));
    EXPECT_FALSE(store_.Get("TunerVisible", true));
    EXPECT_EQ(-12, store_.Get("Bpm", 0));
    ASSERT_TRUE(store_.Set("Tiny", 1e-9f));
    EXPECT_EQ(1e-9f, store_.Get("Tiny", 0.0f));
    EXPECT_EQ("1e+10", SettingsStore::ToText(1e10f));
    EXPECT_EQ("3.141593", SettingsStore::ToText(3.14159265f));
}

TEST(SettingsStoreText, ConversionsAreStrict)
{
    int i = 7;
    EXPECT_TRUE(SettingsStore::FromText("114 ", i));
    EXPECT_EQ(114, i);
    EXPECT_TRUE(SettingsStore::FromText("-5\t\n", i));
    EXPECT_EQ(-5, i);
    EXPECT_TRUE(SettingsStore::FromText("+5", i));
    EXPECT_EQ(5, i);
    for (const char* bad : {"114x", " 114", "", "1.5", "99999999999", "+-5", "0x10"})
        EXPECT_FALSE(SettingsStore::FromText(bad, i)) << bad;
    EXPECT_EQ(5, i);

    float f = 0.0f;
    EXPECT_TRUE(SettingsStore::FromText("440.5", f));
    EXPECT_EQ(440.5f, f);
    EXPECT_TRUE(SettingsStore::FromText("1e3 ", f));
    EXPECT_EQ(1000.0f, f);
    for (const char* bad : {"440,5", " 440", "abc", "", "440Hz", "nan", "inf", "-inf", "NAN"})
        EXPECT_FALSE(SettingsStore::FromText(bad, f)) << bad;

    bool b = true;
    EXPECT_TRUE(SettingsStore::FromText("0", b));
    EXPECT_FALSE(b);
    EXPECT_TRUE(SettingsStore::FromText("1 ", b));
    EXPECT_TRUE(b);
    for (const char* bad : {"true", "2", "", " 1", "-1"})
        EXPECT_FALSE(SettingsStore::FromText(bad, b)) << bad;
}

TEST_F(SettingsStoreTest, ABadValueGivesTheDefaultAndIsNotWrittenBack)
{
    Store("Bpm=fast\nFrequency=441Hz\nTunerVisible=true\nAccent=ACCENT: 3\n");
    const std::string before = ReadFile(path_);
    EXPECT_EQ(114, store_.Get("Bpm", 114));
    EXPECT_EQ(440.0f, store_.Get("Frequency", 440.0f));
    EXPECT_TRUE(store_.Get("TunerVisible", true));
    EXPECT_EQ("ACCENT: 3", store_.Get("Accent", "ACCENT: 4"));
    EXPECT_EQ(before, ReadFile(path_));
}

TEST_F(SettingsStoreTest, ACorruptFileGivesDefaultsAndIsReplacedOnlyWhenAValueIsSet)
{
    Store("this is not a key file\n\x01[[[\n");
    const std::string before = ReadFile(path_);
    EXPECT_EQ(114, store_.Get("Bpm", 114));
    EXPECT_EQ(before, ReadFile(path_));

    EXPECT_TRUE(store_.Set("Bpm", 120));
    EXPECT_EQ(120, store_.Get("Bpm", 114));
}

TEST_F(SettingsStoreTest, AnUnwritableFolderMakesSetReturnFalse)
{
    // The configuration "folder" is a plain file, so nothing can go below it.
    const std::string blocker = folder_.Path() + "/blocker";
    WriteFile(blocker, "x");
    setenv("XDG_CONFIG_HOME", blocker.c_str(), 1);
    EXPECT_FALSE(store_.Set("Bpm", 120));
    {
        SettingsStore::Batch save;
        EXPECT_FALSE(store_.Set("Bpm", 120));
        EXPECT_FALSE(save.Write());
    }
    EXPECT_EQ(114, store_.Get("Bpm", 114));
}

TEST_F(SettingsStoreTest, NumbersKeepTheirCFormUnderAGermanLocale)
{
    // The German locale is compiled into the test's folder when the system
    // does not have it.
    const std::string locales = folder_.Path() + "/locales";
    std::string oldPath;
    if (const char* old = std::getenv("LOCPATH"))
        oldPath = old;
    const bool built = std::system(("mkdir -p '" + locales + "' && localedef -i de_DE -f UTF-8 '" + locales
                                    + "/de_DE.UTF-8' 2>/dev/null")
                                       .c_str())
        == 0;
    if (built)
        setenv("LOCPATH", locales.c_str(), 1);
    const std::string oldNumeric = std::setlocale(LC_NUMERIC, nullptr);
    const bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    const std::locale oldGlobal;
    if (german)
        std::locale::global(std::locale(std::locale::classic(), std::locale("de_DE.UTF-8"), std::locale::numeric));

    const bool written = store_.Set("Frequency", 440.5f);
    const std::string text = ReadFile(path_);
    const float read = store_.Get("Frequency", 0.0f);

    std::locale::global(oldGlobal);
    std::setlocale(LC_NUMERIC, oldNumeric.c_str());
    if (built && oldPath.empty())
        unsetenv("LOCPATH");
    else if (built)
        setenv("LOCPATH", oldPath.c_str(), 1);
    if (!german || std::string(probe) != "0,5")
        GTEST_SKIP() << "no German locale to test with";
    EXPECT_TRUE(written);
    EXPECT_NE(std::string::npos, text.find("Frequency=440.5\n"));
    EXPECT_EQ(440.5f, read);
}

TEST_F(SettingsStoreTest, ALineThatCannotBeReadLosesOnlyItselfAndTheFileIsKeptAside)
{
    const struct {
        const char* what;
        std::string text;
    } files[] = {
        {"a line that is no key", "[Pellora Settings]\nBpm=120\nthis line is bad\nAccent=ACCENT: 3\n"},
        {"a key before any group", "Bpm=60\n[Pellora Settings]\nBpm=120\nAccent=ACCENT: 3\n"},
        {"a bad key name", "[Pellora Settings]\nBpm=120\nBpm[x=60\nAccent=ACCENT: 3\n"},
        {"the keys of a bad group", "[Pellora Settings]\nBpm=120\nAccent=ACCENT: 3\n[Bad\x01]\nBpm=60\n"},
        {"a broken group line", "[Pellora Settings]\nBpm=120\nAccent=ACCENT: 3\n[Pellora Settings\nBpm=60\n"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.what);
        ASSERT_EQ(0, std::system(("rm -rf '" + folder_.Path() + "/vintrel-pellora'").c_str()));
        ASSERT_EQ(0, std::system(("mkdir -p '" + folder_.Path() + "/vintrel-pellora'").c_str()));
        WriteFile(path_, file.text);
        EXPECT_EQ(120, store_.Get("Bpm", 114));
        EXPECT_EQ("ACCENT: 3", store_.Get("Accent", "ACCENT: 4"));
        EXPECT_EQ(file.text, ReadFile(path_)) << "a read never writes";

        Platform::LogCapture log;
        ASSERT_TRUE(store_.Set("Output", "TONE"));
        const std::vector<std::string> aside = Beside("settings.ini.unreadable-");
        ASSERT_EQ(1u, aside.size());
        EXPECT_EQ(file.text, ReadFile(folder_.Path() + "/vintrel-pellora/" + aside[0]));
        EXPECT_TRUE(log.Contains("kept as " + folder_.Path() + "/vintrel-pellora/" + aside[0]));
        EXPECT_EQ(120, store_.Get("Bpm", 114));
        EXPECT_EQ("ACCENT: 3", store_.Get("Accent", "ACCENT: 4"));
        EXPECT_EQ("TONE", store_.Get("Output", ""));
        ASSERT_TRUE(store_.Set("Bpm", 90));
        EXPECT_EQ(1u, Beside("settings.ini.unreadable-").size()) << "the new file reads whole";
    }

    // A large refused file is not read line by line, and is kept aside whole.
    ASSERT_EQ(0, std::system(("rm -f '" + folder_.Path() + "/vintrel-pellora/'*").c_str()));
    const std::string large = "[Pellora Settings]\nBpm=120\n" + std::string(70 * 1024, 'x') + "\n";
    WriteFile(path_, large);
    EXPECT_EQ(114, store_.Get("Bpm", 114));
    ASSERT_TRUE(store_.Set("Bpm", 90));
    const std::vector<std::string> aside = Beside("settings.ini.unreadable-");
    ASSERT_EQ(1u, aside.size());
    EXPECT_TRUE(ReadFile(folder_.Path() + "/vintrel-pellora/" + aside[0]) == large);
}

TEST_F(SettingsStoreTest, ADefaultIsNotWrittenOverAStoredTextThatCouldNotBeUsed)
{
    const std::string huge(900 * 1024, '7');
    Store("Bpm=fast\nOutput=" + huge + "\nInstrument=" + std::string(300, 'G') + "\n");
    Platform::LogCapture log;
    EXPECT_EQ(114, store_.Get("Bpm", 114));
    EXPECT_TRUE(store_.Get("Output", "").empty()) << "900 KB are not a name";
    EXPECT_EQ("Guitar", store_.Get("Instrument", "Guitar").substr(0, 10));
    for (const std::string& line : log.Messages())
        EXPECT_LT(line.size(), 400u) << "a long value is not copied whole into the log";

    EXPECT_TRUE(store_.Set("Bpm", 114));
    EXPECT_TRUE(store_.Set("Output", std::string()));
    EXPECT_NE(std::string::npos, ReadFile(path_).find("Bpm=fast\n"));
    EXPECT_TRUE(ReadFile(path_).find("Output=" + huge + "\n") != std::string::npos);
    // A value of the user's own replaces it.
    EXPECT_TRUE(store_.Set("Bpm", 120));
    EXPECT_EQ(120, store_.Get("Bpm", 114));
}

TEST_F(SettingsStoreTest, OnlyOurOwnStaleTemporariesAreRemoved)
{
    Store("Bpm=120\n");
    const std::string folder = folder_.Path() + "/vintrel-pellora/";
    const struct {
        const char* name;
        bool old;
        bool removed;
    } files[] = {
        {"settings.ini.pellora-unfinished-Ab3xY9", true, true},
        {"settings.ini.pellora-unfinished-q7ZK02", true, true},
        {"settings.ini.pellora-unfinished-Ab3xY0", false, false},
        {"settings.ini.pellora-unfinished-Ab3xY", true, false},
        {"settings.ini.pellora-unfinished-Ab3xY9z", true, false},
        {"other.ini.pellora-unfinished-Ab3xY9", true, false},
        // Names a person gives a copy, however much they look like a
        // temporary file's.
        {"settings.ini.Ab3xY9", true, false},
        {"settings.ini.q7ZK02", true, false},
        {"settings.ini.backup", true, false},
        {"settings.ini.Backup", true, false},
        {"settings.ini.old123", true, false},
        {"settings.ini.june24", true, false},
        {"settings.ini.2024v1", true, false},
        {"settings.ini.unreadable-20260101-120000", true, false},
    };
    for (const auto& file : files) {
        WriteFile(folder + file.name, "[Pellora Settings]\n");
        if (file.old) {
            const utimbuf hourAgo{std::time(nullptr) - 3600, std::time(nullptr) - 3600};
            ASSERT_EQ(0, utime((folder + file.name).c_str(), &hourAgo));
        }
    }
    SettingsStore::RemoveStaleTemporaries();
    for (const auto& file : files)
        EXPECT_EQ(!file.removed, Exists(folder + file.name)) << file.name;
    EXPECT_EQ("[Pellora Settings]\nBpm=120\n", ReadFile(path_));
}

TEST_F(SettingsStoreTest, AByteOrderMarkAloneIsNoFault)
{
    Store("");
    WriteFile(path_, "\xEF\xBB\xBF[Pellora Settings]\nBpm=120\nAccent=ACCENT: 3\n");
    Platform::LogCapture log;
    EXPECT_EQ(120, store_.Get("Bpm", 114));
    ASSERT_TRUE(store_.Set("Output", "TONE"));
    EXPECT_TRUE(Beside("settings.ini.unreadable-").empty());
    EXPECT_TRUE(log.Messages().empty()) << log.Messages().front();
    EXPECT_EQ("ACCENT: 3", store_.Get("Accent", "ACCENT: 4"));
}

TEST_F(SettingsStoreTest, ValuesThatAreNoSettingAreLoggedWithTheirKeyAndFile)
{
    for (const std::string value : {"nan", "-inf"}) {
        Store("Frequency=" + value + "\n");
        Platform::LogCapture log;
        EXPECT_EQ(440.0f, store_.Get("Frequency", 440.0f));
        EXPECT_TRUE(log.Contains("the value \"" + value + "\" of Frequency in " + path_)) << value;
    }
}

TEST_F(SettingsStoreTest, ALinkedSettingsFileStaysALinkAndItsTargetIsWritten)
{
    const std::string folder = folder_.Path() + "/vintrel-pellora";
    const std::string dotfiles = folder_.Path() + "/dotfiles";
    const std::string real = dotfiles + "/pellora.ini";
    const struct {
        const char* what;
        std::string link;
        const char* text; // null: the target is not made yet
    } cases[] = {
        {"a relative link", "../dotfiles/pellora.ini", "[Pellora Settings]\nBpm=60\n"},
        {"an absolute link", real, "[Pellora Settings]\nBpm=60\n"},
        {"a link to a file not made yet", real, nullptr},
        {"a link to a file that cannot be read whole", real, "[Pellora Settings]\nBpm=60\nbad line\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(0, std::system(("rm -rf '" + folder + "' '" + dotfiles + "' && mkdir -p '" + folder + "' '"
                                  + dotfiles + "'")
                                     .c_str()));
        if (c.text)
            WriteFile(real, c.text);
        ASSERT_EQ(0, symlink(c.link.c_str(), path_.c_str()));
        ASSERT_TRUE(store_.Set("Bpm", 90));
        ASSERT_TRUE(store_.Set("Accent", "ACCENT: 3"));
        struct stat status;
        ASSERT_EQ(0, lstat(path_.c_str(), &status));
        EXPECT_TRUE(S_ISLNK(status.st_mode));
        EXPECT_EQ("[Pellora Settings]\nBpm=90\nAccent=ACCENT: 3\n", ReadFile(real));
    }
}

TEST_F(SettingsStoreTest, ALongFileOfBadLinesIsReadAndItsKeptSortingFollowsTheText)
{
    std::string text = "Bpm=120\n";
    for (int i = 0; text.size() < 60 * 1024; ++i)
        text += "line " + std::to_string(i) + " is no key\n";
    Store(text);
    EXPECT_EQ(120, store_.Get("Bpm", 114));

    // The sorting of the latest text is kept between reads: a text that
    // changed must be sorted anew, never answered from the kept one.
    LineSalvage salvage;
    const std::size_t dropped = salvage.Of(text).dropped.size();
    EXPECT_EQ(dropped, salvage.Of(std::string(text)).dropped.size());
    EXPECT_EQ(dropped + 1, salvage.Of(text + "one more bad line\n").dropped.size());
    EXPECT_EQ(dropped, salvage.Of(text).dropped.size());
}

TEST_F(SettingsStoreTest, WhatCannotBeReadStaysInPlaceWhenTheNewFileCannotBeWritten)
{
    const std::string folder = folder_.Path() + "/vintrel-pellora";
    // A file's text, or a folder and the text of the file it holds.
    const auto contents = [](const std::string& at) {
        struct stat status;
        if (lstat(at.c_str(), &status) != 0)
            return std::string("nothing");
        return S_ISDIR(status.st_mode) ? "a folder holding " + ReadFile(at + "/notes") : ReadFile(at);
    };
    const struct {
        const char* what;
        bool folder; // settings.ini is a folder holding the text
        std::string text;
        int bpm; // as the next start reads it
        const char* refusal; // what the log says of the writes on a full disk
        std::string written; // once a write can be made; empty: never written
    } cases[] = {
        {"a file with an unreadable line", false, "[Pellora Settings]\nBpm=93\nFrequency=432\nthis line is bad\n", 93,
         "cannot write", "[Pellora Settings]\nBpm=93\nFrequency=432\nAccent=ACCENT: 3\n"},
        // No file: it is neither read nor written, nor moved aside.
        {"a folder", true, "Bpm=93\n", 114, "is a folder, not a file, and is left as it is", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(0, std::system(("rm -rf '" + folder + "' && mkdir -p '" + folder + "'").c_str()));
        if (c.folder) {
            ASSERT_EQ(0, mkdir(path_.c_str(), 0700));
        }
        WriteFile(c.folder ? path_ + "/notes" : path_, c.text);
        const std::string original = contents(path_);
        {
            Platform::LogCapture log;
            FileSizeLimit full(8);
            ASSERT_TRUE(full.Set());
            for (const char* key : kSavedKeys)
                EXPECT_FALSE(store_.Set(key, 1)) << key;
            EXPECT_EQ(1, LinesWith(log, c.refusal));
        }
        EXPECT_EQ(original, contents(path_));
        EXPECT_TRUE(Beside("settings.ini.unreadable-").empty());
        EXPECT_TRUE(Beside("settings.ini.pellora-unfinished-").empty());
        // The next start finds what the user had.
        EXPECT_EQ(c.bpm, store_.Get("Bpm", 114));

        if (c.written.empty()) {
            EXPECT_FALSE(store_.Set("Accent", "ACCENT: 3"));
            EXPECT_EQ(original, contents(path_));
            EXPECT_TRUE(Beside("settings.ini.unreadable-").empty());
            continue;
        }
        // Once a write can be made, what could not be read is kept aside as
        // before.
        ASSERT_TRUE(store_.Set("Accent", "ACCENT: 3"));
        const std::vector<std::string> aside = Beside("settings.ini.unreadable-");
        ASSERT_EQ(1u, aside.size());
        EXPECT_EQ(original, contents(folder + "/" + aside[0]));
        EXPECT_EQ(c.written, ReadFile(path_));
    }
}

TEST_F(SettingsStoreTest, ASaveThatCannotBeWrittenIsLoggedOnce)
{
    const std::string folder = folder_.Path() + "/vintrel-pellora";
    const struct {
        const char* what;
        std::string link; // what settings.ini links to
        std::string why;
    } cases[] = {
        {"a link loop", "settings.ini", "leads through more than 40 links"},
        {"a link into a folder that is missing", folder_.Path() + "/gone/pellora.ini",
         "cannot create a temporary file for " + folder_.Path() + "/gone/pellora.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(0, std::system(("rm -rf '" + folder + "' && mkdir -p '" + folder + "'").c_str()));
        Platform::LogCapture log;
        // Each save starts after one that was written, and the next failure
        // is logged again.
        for (int save = 1; save <= 2; ++save) {
            ASSERT_TRUE(store_.Set("Bpm", 90));
            ASSERT_EQ(0, unlink(path_.c_str()));
            ASSERT_EQ(0, symlink(c.link.c_str(), path_.c_str()));
            for (const char* key : kSavedKeys)
                EXPECT_FALSE(store_.Set(key, 1)) << key;
            EXPECT_EQ(save, LinesWith(log, c.why));
            ASSERT_EQ(0, unlink(path_.c_str()));
        }
    }
}

TEST_F(SettingsStoreTest, OnlyARegularFileInTheSettingsPlaceIsReadOrWritten)
{
    const std::string folder = folder_.Path() + "/vintrel-pellora";
    const std::string elsewhere = folder_.Path() + "/elsewhere";
    const std::string good = "[Pellora Settings]\nBpm=96\n";
    const auto linkTo = [this](const std::string& target) { ASSERT_EQ(0, symlink(target.c_str(), path_.c_str())); };
    const struct {
        const char* what;
        std::function<void()> make;
        int bpm; // as Get reads it
        const char* said; // in the log; null: nothing is said
        bool stored; // Set writes the settings
    } places[] = {
        {"nothing", [] {}, 114, nullptr, true},
        {"a regular file", [&] { WriteFile(path_, good); }, 96, nullptr, true},
        {"an empty file", [&] { WriteFile(path_, ""); }, 114, nullptr, true},
        {"a file with a bad line", [&] { WriteFile(path_, good + "bad line\n"); }, 96, "left out line 3", true},
        {"a file over the size bound", [&] { WriteFile(path_, good + "#" + std::string(1024 * 1024, '#') + "\n"); },
         114, "is larger than 1048576 bytes", true},
        {"a FIFO", [&] { ASSERT_EQ(0, mkfifo(path_.c_str(), 0600)); }, 114, " is a FIFO, not a file", false},
        {"a link to /dev/zero", [&] { linkTo(Device(elsewhere, "zero", 5)); }, 114, ", a character device, not a file",
         false},
        {"a link to /dev/null", [&] { linkTo(Device(elsewhere, "null", 3)); }, 114, ", a character device, not a file",
         false},
        {"a folder",
         [&] {
             ASSERT_EQ(0, mkdir(path_.c_str(), 0700));
             WriteFile(path_ + "/notes", good);
         },
         114, " is a folder, not a file", false},
        {"a socket",
         [&] {
             const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             path_.copy(address.sun_path, sizeof address.sun_path - 1);
             ASSERT_EQ(0, bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address));
             close(fd);
         },
         114, " is a socket, not a file", false},
        // The file it names is made when the settings are written.
        {"a dangling link", [&] { linkTo(elsewhere + "/pellora.ini"); }, 114, ", where no file is yet", true},
        {"a link to a link to a file",
         [&] {
             WriteFile(elsewhere + "/pellora.ini", good);
             ASSERT_EQ(0, symlink((elsewhere + "/pellora.ini").c_str(), (elsewhere + "/middle.ini").c_str()));
             linkTo(elsewhere + "/middle.ini");
         },
         96, nullptr, true},
    };
    for (const auto& place : places) {
        SCOPED_TRACE(place.what);
        ASSERT_EQ(
            0,
            std::system(("rm -rf '" + folder + "' '" + elsewhere + "' && mkdir -p '" + folder + "' '" + elsewhere + "'")
                            .c_str()));
        place.make();
        const std::string before = Standing(path_);
        Platform::LogCapture log;
        EXPECT_EQ(place.bpm, store_.Get("Bpm", 114));
        if (place.said)
            EXPECT_TRUE(log.Contains(place.said)) << (log.Messages().empty() ? "" : log.Messages().front());
        else
            EXPECT_TRUE(log.Messages().empty()) << log.Messages().front();
        SettingsStore::RemoveStaleTemporaries();
        // In a batch too, as the writers save at a lost display.
        bool batched = !place.stored;
        const int owner = 0;
        SettingsWriters::Add(&owner, [&] { batched = store_.Set("Bpm", 90); });
        EXPECT_EQ(place.stored, SettingsWriters::WriteAll());
        SettingsWriters::Remove(&owner);
        EXPECT_EQ(place.stored, batched) << "Set in a batch";
        EXPECT_EQ(place.stored, store_.Set("Bpm", 90));
        if (place.stored) {
            EXPECT_EQ(90, store_.Get("Bpm", 114));
            // A link stays one.
            EXPECT_EQ(before.substr(0, 6) == "a link", Standing(path_).substr(0, 6) == "a link");
        } else {
            EXPECT_EQ(before, Standing(path_));
            EXPECT_TRUE(Beside("settings.ini.").empty());
        }
    }
}

TEST_F(SettingsStoreTest, ABatchWritesWhatItKeptInOneReplacement)
{
    Store("Bpm=fast\nAccent=ACCENT: 3\nthis line is bad\n");
    const std::string before = ReadFile(path_);
    EXPECT_EQ(114, store_.Get("Bpm", 114));
    {
        const SettingsStore::Batch save;
        for (const char* key : kSavedKeys)
            EXPECT_TRUE(store_.Set(key, std::string(key) == "Bpm" ? 114 : 1)) << key;
        EXPECT_EQ(before, ReadFile(path_)) << "nothing is written while the batch lives";
        EXPECT_EQ("ACCENT: 3", store_.Get("Accent", "")) << "Get reads the file";
    }
    std::string text = ReadFile(path_);
    for (const char* key : kSavedKeys)
        EXPECT_NE(std::string::npos, text.find(std::string(key) + (std::string(key) == "Bpm" ? "=fast\n" : "=1\n")))
            << key << " in\n"
            << text;
    EXPECT_EQ(1u, Beside("settings.ini.unreadable-").size());

    // On a full disk nothing of it lands, and the failure is said once.
    {
        Platform::LogCapture log;
        FileSizeLimit full(8);
        ASSERT_TRUE(full.Set());
        {
            const SettingsStore::Batch save;
            for (const char* key : kSavedKeys)
                store_.Set(key, 2);
        }
        EXPECT_EQ(1, LinesWith(log, "cannot write"));
    }
    EXPECT_EQ(text, ReadFile(path_));
    EXPECT_TRUE(Beside("settings.ini.pellora-unfinished-").empty());

    // The writers write together, with what a batch around them kept (a
    // display lost while the screens are taken down at the end).
    const int first = 0, second = 0;
    std::string seenBySecond;
    SettingsWriters::Add(&first, [this] { store_.Set("Output", "TONE"); });
    SettingsWriters::Add(&second, [&] {
        seenBySecond = ReadFile(path_);
        store_.Set("Input", "LINE");
    });
    {
        const SettingsStore::Batch exit;
        store_.Set("Bpm", 100);
        SettingsWriters::WriteAll();
        text = ReadFile(path_);
    }
    SettingsWriters::Remove(&first);
    SettingsWriters::Remove(&second);
    EXPECT_EQ(std::string::npos, seenBySecond.find("Output=TONE"));
    for (const char* line : {"Bpm=100\n", "Output=TONE\n", "Input=LINE\n"})
        EXPECT_NE(std::string::npos, text.find(line)) << line << " in\n" << text;
}

TEST_F(SettingsStoreTest, OnlyTheNewestUnreadableCopiesAreKept)
{
    const std::string folder = folder_.Path() + "/vintrel-pellora/";
    // Copies earlier runs kept, the oldest first: the numbered ones of a
    // second are newer than its first, and -10 is newer than -9.
    const std::vector<std::string> earlier = {"20200101-000000",   "20200101-000000-2", "20200101-000001",
                                              "20200202-120000",   "20210101-000000",   "20210101-000000-2",
                                              "20210101-000000-3", "20210101-235959",   "20211231-000000",
                                              "20220101-000000",   "20220101-000000-9", "20220101-000000-10"};
    // Names that only look like a copy's, older than every copy: none goes.
    const std::vector<std::string> alike = {"settings.ini.unreadable-20190101-000000.bak",
                                            "settings.ini.unreadable-20190101-000000-0",
                                            "settings.ini.unreadable-20190101-000000-02",
                                            "settings.ini.unreadable-20190101-000000-",
                                            "settings.ini.unreadable-20190101-00000",
                                            "settings.ini.unreadable-2019-01-01",
                                            "settings.ini.unreadable-old",
                                            "settings.ini.Unreadable-20190101-000000",
                                            "other.ini.unreadable-20190101-000000",
                                            "settings.ini.unreadable-20190101-000000x"};
    // Of the exact pattern, but no copy of ours: a folder and a link.
    const std::string folderCopy = "settings.ini.unreadable-20180101-000000";
    const std::string linkCopy = "settings.ini.unreadable-20180101-000001";
    ASSERT_EQ(3, UnreadableCopies::Kept);
    for (const std::size_t count : {0u, 1u, 2u, 3u, 12u}) {
        SCOPED_TRACE(std::to_string(count) + " copies before");
        ASSERT_EQ(0, std::system(("rm -rf '" + folder + "' && mkdir -p '" + folder + "'").c_str()));
        Store("Bpm=120\nthis line is bad\n");
        for (std::size_t i = 0; i < count; ++i)
            WriteFile(folder + "settings.ini.unreadable-" + earlier[earlier.size() - count + i], "copy");
        for (const std::string& name : alike)
            WriteFile(folder + name, "alike");
        ASSERT_EQ(0, mkdir((folder + folderCopy).c_str(), 0700));
        ASSERT_EQ(0, symlink("settings.ini", (folder + linkCopy).c_str()));

        Platform::LogCapture log;
        ASSERT_TRUE(store_.Set("Bpm", 90));
        const std::size_t removed = count + 1 > 3 ? count + 1 - 3 : 0;
        EXPECT_EQ(int(removed), LinesWith(log, "SettingsStore: removed "));
        std::set<std::string> expected;
        for (std::size_t i = count - std::min<std::size_t>(count, 2); i < count; ++i)
            expected.insert("settings.ini.unreadable-" + earlier[earlier.size() - count + i]);
        for (const std::string& name : alike)
            if (name.rfind("settings.ini.unreadable-", 0) == 0)
                expected.insert(name);
        expected.insert(folderCopy);
        expected.insert(linkCopy);
        const std::vector<std::string> names = Beside("settings.ini.unreadable-");
        const std::set<std::string> found(names.begin(), names.end());
        std::size_t made = 0;
        for (const std::string& name : found)
            made += expected.count(name) == 0;
        EXPECT_EQ(1u, made) << "besides those expected, only the copy made now";
        for (const std::string& name : expected)
            EXPECT_EQ(1u, found.count(name)) << name;
        EXPECT_TRUE(Exists(folder + "settings.ini.Unreadable-20190101-000000"));
        EXPECT_TRUE(Exists(folder + "other.ini.unreadable-20190101-000000"));
    }
}

// Copies made before the clock or the time zone moved back, and after it, by
// saves of a file with a bad line of its own each time: what is kept is what
// the newest saves kept aside, whatever the names' stamps say, and never less
// than the copy a save just made.
TEST_F(SettingsStoreTest, TheNewestUnreadableCopiesAreKeptWhateverTheClockDid)
{
    const std::string folder = folder_.Path() + "/vintrel-pellora/";
    const char* const east = "<+14>-14";
    const char* const west = "<-12>+12";
    enum Kind { File, Folder, Link };
    const std::uintmax_t widest = std::numeric_limits<std::uintmax_t>::max();
    struct Laid {
        std::string name;
        Kind kind;
    };
    const struct {
        const char* what;
        // What stands beside the settings first, the oldest copy first.
        std::vector<Laid> laid;
        // The time zone of each save.
        std::vector<const char*> saves;
        // The copies kept: "laid K" of the K-th laid, "save K" of the K-th save.
        std::set<std::string> kept;
    } rows[] = {
        {"the zone moved back", {}, {east, east, east, west}, {"save 2", "save 3", "save 4"}},
        {"the zone moved forward", {}, {west, west, west, east}, {"save 2", "save 3", "save 4"}},
        {"saves within one second", {}, {"UTC", "UTC", "UTC", "UTC", "UTC"}, {"save 3", "save 4", "save 5"}},
        {"more copies than kept, the zone moving to and fro",
         {},
         {east, west, east, west, east, west, east},
         {"save 5", "save 6", "save 7"}},
        {"the clock moved back, counted copies",
         {{"1-20991231-235958", File}, {"2-20991231-235959", File}},
         {"UTC", "UTC"},
         {"laid 2", "save 1", "save 2"}},
        {"the clock moved back, copies from before the count",
         {{"20991231-235959", File}, {"20991231-235959-2", File}, {"20991231-235958", File}},
         {"UTC", "UTC"},
         {"laid 2", "save 1", "save 2"}},
        {"the clock moved forward",
         {{"1-20000101-000000", File}, {"2-20000101-000001", File}, {"20000101-000002", File}},
         {"UTC", "UTC"},
         {"laid 2", "save 1", "save 2"}},
        {"copies of a higher count that are no file of ours",
         {{"7-20991231-235959", Folder}, {"8-20991231-235959", Link}, {"6-20991231-235959", File}},
         {"UTC", "UTC", "UTC"},
         {"save 1", "save 2", "save 3"}},
        // Counts past what the copies of a lifetime reach, laid by hand or by
        // another program: the next count takes a digit more.
        {"a count of nine nines",
         {{"999999999-20991231-235959", File}},
         {"UTC", "UTC", "UTC", "UTC", "UTC"},
         {"save 3", "save 4", "save 5"}},
        {"a count of ten digits",
         {{"12-20991231-235959", File}, {"9999999999-20000101-000000", File}},
         {"UTC", "UTC"},
         {"laid 2", "save 1", "save 2"}},
        {"a count of twenty digits",
         {{"99999999999999999999-20991231-235959", File}, {"5-20991231-235959", File}},
         {"UTC", "UTC", "UTC"},
         {"save 1", "save 2", "save 3"}},
        {"counts at the top of the widest integer",
         {{std::to_string(widest - 1) + "-20991231-235959", File}, {std::to_string(widest) + "-20991231-235959", File}},
         {"UTC", "UTC"},
         {"laid 2", "save 1", "save 2"}},
        // No copy of ours has a leading zero: such a file is left alone and
        // raises no count.
        {"counts with leading zeros",
         {{"0999999999-20991231-235959", File}, {"09-20991231-235959", File}, {"0-20991231-235959", File}},
         {"UTC", "UTC", "UTC", "UTC"},
         {"laid 1", "laid 2", "laid 3", "save 2", "save 3", "save 4"}},
    };
    const struct ZoneBack {
        ~ZoneBack()
        {
            if (zone.empty())
                unsetenv("TZ");
            else
                setenv("TZ", zone.c_str(), 1);
            tzset();
        }
        std::string zone;
    } zoneBack{std::getenv("TZ") ? std::getenv("TZ") : ""};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_EQ(0, std::system(("rm -rf '" + folder + "' && mkdir -p '" + folder + "'").c_str()));
        for (std::size_t i = 0; i < row.laid.size(); ++i) {
            const std::string path = folder + "settings.ini.unreadable-" + row.laid[i].name;
            if (row.laid[i].kind == File)
                WriteFile(path, "laid " + std::to_string(i + 1));
            else if (row.laid[i].kind == Folder)
                ASSERT_EQ(0, mkdir(path.c_str(), 0700));
            else
                ASSERT_EQ(0, symlink("settings.ini", path.c_str()));
        }
        for (std::size_t i = 0; i < row.saves.size(); ++i) {
            setenv("TZ", row.saves[i], 1);
            tzset();
            Store("save " + std::to_string(i + 1) + "\n");
            Platform::LogCapture log;
            ASSERT_TRUE(store_.Set("Bpm", 90));
            const auto kept = std::find_if(log.Messages().begin(), log.Messages().end(),
                                           [](const std::string& line) { return line.find("kept as ") != line.npos; });
            ASSERT_NE(log.Messages().end(), kept);
            const std::size_t from = kept->find("kept as ") + 8;
            const std::string made = kept->substr(from, kept->find(", and ", from) - from);
            EXPECT_FALSE(log.Contains("removed " + made));
            EXPECT_NE(std::string::npos, ReadFile(made).find("save " + std::to_string(i + 1))) << made;
        }
        std::set<std::string> kept;
        std::size_t others = 0;
        for (const std::string& name : Beside("settings.ini.unreadable-")) {
            struct stat status;
            ASSERT_EQ(0, lstat((folder + name).c_str(), &status));
            if (!S_ISREG(status.st_mode)) {
                ++others;
                continue;
            }
            const std::string text = ReadFile(folder + name);
            const std::size_t mark = std::min(text.find("laid "), text.find("save "));
            ASSERT_NE(std::string::npos, mark) << name;
            kept.insert(text.substr(mark, text.find('\n', mark) - mark));
        }
        EXPECT_EQ(row.kept, kept);
        EXPECT_EQ(std::size_t(std::count_if(row.laid.begin(), row.laid.end(),
                                            [](const Laid& laid) { return laid.kind != File; })),
                  others)
            << "folders and links stay";
    }
}
