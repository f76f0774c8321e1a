#include "audio/AudioSamples.h"

#include "MusicModelTestSupport.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

TEST(AudioSamples, ReadsEverySampleEntryInOrderAndRefusesOneWithoutItsAccent)
{
    MusicTest::ConfigFile file("Samples.xml");
    const AudioSamples samples(file.Root());
    std::vector<std::string> names;
    samples.ForEachName([&](const std::string& name) { names.push_back(name); });
    EXPECT_EQ((std::vector<std::string>{"Wood", "Bell"}), names);

    AudioEntry entry;
    ASSERT_TRUE(samples.Find("Bell", entry));
    EXPECT_EQ("Samples/bell.wav", entry.GetNormal());
    EXPECT_EQ("Samples/bell-accent.wav", entry.GetAccent());
    EXPECT_FALSE(samples.Find("bell", entry));
    EXPECT_EQ("Bell", entry.GetName());

    // An entry without its accent file ends the construction.
    Platform::LogCapture log;
    MusicTest::ConfigFile broken("SamplesWithoutAccent.xml");
    EXPECT_THROW(AudioSamples{broken.Root()}, XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(log.Contains("Accent"));
}
