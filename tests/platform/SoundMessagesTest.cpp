// ALSA's own messages reach stderr only through the program's log.
#include "platform/AlsaMixer.h"
#include "platform/Log.h"
#include "platform/PaAdapter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

// ALSA is pointed at a configuration that is not there, as on a machine with
// no sound card: the sound-card check, the first call into ALSA, fails, and
// ALSA's reasons are written only with the log on, as the log's lines.
TEST(SoundMessages, AlsaSaysWhyTheCardCheckFailedOnlyInTheLog)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto checkCard = [](bool log) {
        ::setenv("ALSA_CONFIG_PATH", "/nonexistent/pellora-no-alsa.conf", 1);
        if (log)
            ::setenv("PELLORA_LOG", "1", 1);
        else
            ::unsetenv("PELLORA_LOG");
        std::exit(Platform::AlsaMixerPresent("default") ? 1 : 0);
    };
    using ::testing::HasSubstr;
    using ::testing::Not;
    EXPECT_EXIT(checkCard(false), ::testing::ExitedWithCode(0), Not(HasSubstr("pellora-no-alsa.conf")));
    EXPECT_EXIT(checkCard(true), ::testing::ExitedWithCode(0),
                ::testing::AllOf(HasSubstr("ALSA: "), HasSubstr("pellora-no-alsa.conf"), Not(HasSubstr("ALSA lib"))));
}

// The sound library's first look at every device, which reports each one it
// cannot open in one call, reaches the log whole.
TEST(SoundMessages, TheFirstLookAtEveryDeviceIsLoggedWhole)
{
    namespace Pa = Platform::Pa;
    Platform::LogCapture log;
    ASSERT_EQ(Pa::NoError, Pa::Initialize());
    EXPECT_FALSE(log.Contains(" dropped")) << log.Messages().size() << " lines, the last: " << log.Messages().back();
}
