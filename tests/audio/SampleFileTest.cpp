#include "audio/SampleFile.h"
#include "audio/SndFileLibrary.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

class SampleFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/pellora-samples-XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(pattern));
        dir_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }

    // A WAV file of 32-bit float samples (interleaved), written with sox.
    std::string Write(const std::string& name, const std::vector<float>& interleaved, int channels, int rate)
    {
        const std::string raw = dir_ + "/" + name + ".raw";
        const std::string wav = dir_ + "/" + name + ".wav";
        std::ofstream(raw, std::ios::binary)
            .write(reinterpret_cast<const char*>(interleaved.data()), std::streamsize(interleaved.size() * 4));
        const std::string command = "sox -t raw -e floating-point -b 32 -c " + std::to_string(channels) + " -r "
            + std::to_string(rate) + " " + raw + " -e floating-point " + wav;
        EXPECT_EQ(0, std::system(command.c_str()));
        return wav;
    }

    // The same written byte for byte, so that values sox would clip (or
    // refuse) reach the reader as they stand.
    std::string WriteRaw(const std::string& name, const std::vector<float>& interleaved, int channels)
    {
        const std::string wav = dir_ + "/" + name + ".wav";
        std::ofstream out(wav, std::ios::binary);
        const auto u32 = [&out](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
        const auto u16 = [&out](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
        const std::uint32_t data = std::uint32_t(interleaved.size() * 4);
        out.write("RIFF", 4);
        u32(4 + 26 + 12 + 8 + data);
        out.write("WAVEfmt ", 8);
        u32(18);
        u16(3); // IEEE float
        u16(std::uint16_t(channels));
        u32(44100);
        u32(44100u * 4u * unsigned(channels));
        u16(std::uint16_t(4 * channels));
        u16(32);
        u16(0);
        out.write("fact", 4);
        u32(4);
        u32(std::uint32_t(interleaved.size() / std::size_t(channels)));
        out.write("data", 4);
        u32(data);
        out.write(reinterpret_cast<const char*>(interleaved.data()), std::streamsize(data));
        return wav;
    }

    std::string dir_;
};

// sox carries samples through 32-bit integers: equal to about 1e-9.
void ExpectSamples(const std::vector<float>& expected, const std::vector<float>& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(expected[i], actual[i], 1e-6) << i;
}

} // namespace

TEST_F(SampleFileTest, MonoStereoAndHalfRateFilesLoadAsMono44100CutToLength)
{
    const std::vector<float> samples{0.1f, -0.2f, 0.3f, -0.4f, 0.5f};
    const std::string file = Write("mono", samples, 1, 44100);
    std::vector<float> out;
    ASSERT_TRUE(LoadSampleFile(file, out, 1000.0f, 44100));
    ExpectSamples(samples, out);
    // 0.07 ms at 44100 Hz: 3.087 samples, so three.
    ASSERT_TRUE(LoadSampleFile(file, out, 0.07f, 44100));
    ExpectSamples({0.1f, -0.2f, 0.3f}, out);

    // Channels fold into the largest magnitude.
    ASSERT_TRUE(
        LoadSampleFile(Write("stereo", {0.5f, -0.7f, 0.5f, -0.5f, -0.9f, 0.2f}, 2, 44100), out, 1000.0f, 44100));
    ExpectSamples({-0.7f, -0.5f, -0.9f}, out);
    ASSERT_TRUE(LoadSampleFile(Write("three", {0.1f, -0.9f, 0.3f, 0.4f, 0.2f, -0.1f}, 3, 44100), out, 1000.0f, 44100));
    ExpectSamples({-0.9f, 0.4f}, out);

    // A half-rate file doubles in length. Step 7/4: the samples land on 0, 2, 4
    // (3.5 rounded) and 5; between them the line.
    ASSERT_TRUE(LoadSampleFile(Write("half", {0.0f, 0.4f, 0.8f, 0.4f}, 1, 22050), out, 1000.0f, 44100));
    ASSERT_EQ(8u, out.size());
    ExpectSamples({0.0f, 0.2f, 0.4f, 0.6f, 0.8f, 0.4f}, std::vector<float>(out.begin(), out.begin() + 6));
}

TEST_F(SampleFileTest, AFileOrLibraryThatCannotBeReadFailsAndSaysWhich)
{
    Platform::LogCapture log;
    std::vector<float> out{1.0f};
    EXPECT_FALSE(LoadSampleFile(dir_ + "/missing.wav", out, 1000.0f, 44100));
    EXPECT_EQ(std::vector<float>{1.0f}, out);
    EXPECT_TRUE(log.Contains(dir_ + "/missing.wav"));

    std::ofstream(dir_ + "/junk.wav") << "not a sound";
    EXPECT_FALSE(LoadSampleFile(dir_ + "/junk.wav", out, 1000.0f, 44100));

    // A missing library or function fails cleanly too.
    const std::string file = Write("mono", {0.1f}, 1, 44100);
    SndFileLibrary missing("libpellora-no-such-library.so.1");
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_FALSE(LoadSampleFile(missing, file, out, 1000.0f, 44100));
    EXPECT_EQ(std::vector<float>{1.0f}, out);
    EXPECT_TRUE(log.Contains("libpellora-no-such-library.so.1"));

    SndFileLibrary wrong("libm.so.6");
    EXPECT_FALSE(wrong.IsLoaded());
    EXPECT_TRUE(log.Contains("sf_open"));
    EXPECT_FALSE(LoadSampleFile(wrong, file, out, 1000.0f, 44100));
}

TEST_F(SampleFileTest, FifosEmptyFilesAndOverlongFilesAreRefusedOrReadOnlyAsFarAsKept)
{
    Platform::LogCapture log;
    std::vector<float> out{1.0f};
    // A FIFO nobody writes to would block the open for ever.
    const std::string fifo = dir_ + "/click.wav";
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    EXPECT_FALSE(LoadSampleFile(fifo, out, 1000.0f, 44100));
    EXPECT_TRUE(log.Contains(fifo + " cannot be read: not a regular file"));
    EXPECT_FALSE(LoadSampleFile(dir_, out, 1000.0f, 44100));

    // A file without frames is a failure, not an empty success.
    const std::string empty = dir_ + "/empty.wav";
    ASSERT_EQ(0, std::system(("sox -n -r 44100 -c 1 -e floating-point " + empty + " trim 0 0").c_str()));
    EXPECT_FALSE(LoadSampleFile(empty, out, 1000.0f, 44100));
    EXPECT_TRUE(log.Contains(empty + " cannot be read: no samples"));
    EXPECT_EQ(std::vector<float>{1.0f}, out);

    // Five minutes of 192 kHz stereo: only the kept 250 ms or 1 s (and the
    // frame the resampler needs) are read.
    const std::string longFile = dir_ + "/long.wav";
    ASSERT_EQ(0, std::system(("sox -n -r 192000 -c 2 -b 16 " + longFile + " synth 300 sine 440").c_str()));
    struct CountingLibrary : SndFileLibrary {
        CountingLibrary()
            : SndFileLibrary("libsndfile.so.1")
        {
        }
        sf_count_t sf_read_float(SNDFILE* file, float* samples, sf_count_t count) override
        {
            requested += std::size_t(count);
            return SndFileLibrary::sf_read_float(file, samples, count);
        }
        std::size_t requested = 0;
    } counting;
    std::size_t& requested = counting.requested;
    ASSERT_TRUE(LoadSampleFile(counting, longFile, out, 250.0f, 44100));
    EXPECT_EQ(11025u, out.size());
    EXPECT_LE(requested, 2u * (48000u + 1u));
    requested = 0;
    ASSERT_TRUE(LoadSampleFile(counting, longFile, out, 1000.0f, 44100));
    EXPECT_EQ(44100u, out.size());
    EXPECT_LE(requested, 2u * (192000u + 1u));
}

TEST_F(SampleFileTest, SamplesThatAreNoNumbersAreRefusedAndLevelsBeyondFullScaleLimited)
{
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* name;
        std::vector<float> samples;
        int channels;
        std::vector<float> loaded; // empty: refused
        const char* logged;
    };
    const Case cases[] = {
        {"nan", {0.1f, 0.2f, nan, 0.3f}, 1, {}, "sample 2 is not a number"},
        {"inf", {inf, 0.2f}, 1, {}, "sample 0 is not a number"},
        {"stereo-minus-inf", {0.1f, 0.1f, 0.2f, -inf}, 2, {}, "sample 1 is not a number"},
        {"huge", {0.1f, 1.0e30f, -0.2f}, 1, {0.1f, 1.0f, -0.2f}, "beyond full scale are kept at full scale"},
        {"stereo-loud", {0.1f, -5.0f, 1.5f, 0.2f}, 2, {-1.0f, 1.0f}, "beyond full scale"},
        {"plain", {0.1f, -1.0f, 1.0f}, 1, {0.1f, -1.0f, 1.0f}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Platform::LogCapture log;
        const std::string file = WriteRaw(c.name, c.samples, c.channels);
        std::vector<float> out{7.0f};
        EXPECT_EQ(!c.loaded.empty(), LoadSampleFile(file, out, 1000.0f, 44100));
        EXPECT_EQ(c.loaded.empty() ? std::vector<float>{7.0f} : c.loaded, out);
        if (c.logged) {
            EXPECT_TRUE(log.Contains(file)) << "the log names the file";
            EXPECT_TRUE(log.Contains(c.logged));
        } else {
            EXPECT_TRUE(log.Messages().empty());
        }
    }
}

// The click sets the program ships (made by scripts/make-clicks.py): the
// accent clearly louder than the beat, silence at both ends of every file,
// headroom, and the sets equally loud.
TEST(ClickSets, AccentsAreLouderEndsAreSilentAndTheSetsMatch)
{
    // Loudness as the ear sums a click: the RMS over its first 50 ms.
    const auto loudnessDb = [](const std::vector<float>& x) {
        double sum = 0.0;
        for (std::size_t i = 0; i < std::min<std::size_t>(x.size(), 2205); ++i)
            sum += double(x[i]) * x[i];
        return 10.0 * std::log10(sum / 2205.0);
    };
    std::vector<double> normals;
    for (const char* set : {"Wood", "Clave", "Beep"}) {
        std::vector<double> loudness;
        for (const char* kind : {"Normal", "Accent"}) {
            const std::string path = std::string(PELLORA_SOURCE_DIR) + "/XML/Main/Sounds/" + set + kind + ".wav";
            std::vector<float> x;
            ASSERT_TRUE(LoadSampleFile(path, x, 1000.0f, 44100)) << path;
            float peak = 0.0f;
            for (float v : x)
                peak = std::max(peak, std::fabs(v));
            EXPECT_LE(peak, 0.891f) << path << ": above -1 dBFS";
            EXPECT_LT(std::fabs(x.front()) + std::fabs(x.back()), 1e-3f) << path << ": a step at an end";
            loudness.push_back(loudnessDb(x));
        }
        EXPECT_GE(loudness[1] - loudness[0], 4.0) << set << ": the accent is not clearly louder";
        normals.push_back(loudness[0]);
    }
    const auto [quietest, loudest] = std::minmax_element(normals.begin(), normals.end());
    EXPECT_LT(*loudest - *quietest, 2.0) << "the sets differ in loudness";
}

TEST(MapSamples, KeepsTheLargerMagnitudeAndLeavesAnEmptyDestinationAlone)
{
    std::vector<float> columns(2, 0.0f);
    MapSamples({0.1f, -0.5f, 0.3f, 0.5f}, columns, LargerMagnitude, true);
    // Step 1/4: positions 0, 0.25, 0.5, 0.75 round to columns 0, 0, 1, 1.
    EXPECT_EQ((std::vector<float>{-0.5f, 0.5f}), columns);

    std::vector<float> none;
    MapSamples({1.0f, 2.0f}, none, LargerMagnitude, true);
    EXPECT_TRUE(none.empty());

    std::vector<float> held(6, 0.0f);
    MapSamples({1.0f, 2.0f}, held, LargerMagnitude, false);
    EXPECT_EQ((std::vector<float>{1.0f, 2.0f, 2.0f, 2.0f, 0.0f, 0.0f}), held);
    // A long source: the summed float step must not carry past the last column.
    std::vector<float> narrow(44100, 0.0f);
    MapSamples(std::vector<float>(192001, 1.0f), narrow, LargerMagnitude, true);
    EXPECT_EQ(1.0f, narrow[44099]);
    EXPECT_EQ(-0.5f, LargerMagnitude(0.5f, -0.5f));
    EXPECT_EQ(0.5f, LargerMagnitude(0.5f, -0.25f));
}
