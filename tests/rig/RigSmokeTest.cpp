// The test rig's sound path: a tone played into the null sink with paplay is
// heard back from its monitor by arecord through ALSA's default device.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

std::string TempPath(const std::string& name)
{
    return "/tmp/pellora-rig-smoke-" + std::to_string(::getpid()) + "-" + name;
}

std::vector<float> ReadRawFloats(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<float> samples;
    float value = 0.0f;
    while (in.read(reinterpret_cast<char*>(&value), sizeof value))
        samples.push_back(value);
    return samples;
}

// Power of one frequency in a block (Goertzel), normalised by the block's power.
double RelativePower(const std::vector<float>& x, double frequency, double rate)
{
    const double w = 2.0 * M_PI * frequency / rate;
    const double coefficient = 2.0 * std::cos(w);
    double s1 = 0.0, s2 = 0.0, energy = 0.0;
    for (float v : x) {
        const double s0 = v + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
        energy += double(v) * v;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return energy > 0.0 ? power / (energy * x.size() / 2.0) : 0.0;
}

} // namespace

TEST(RigSmoke, ToneIntoNullSinkIsHeardFromItsMonitor)
{
    const std::string tone = TempPath("tone.wav");
    const std::string recording = TempPath("rec.raw");
    ASSERT_EQ(0, std::system(("sox -q -n -r 44100 -c 1 " + tone + " synth 3 sine 440 vol 0.5").c_str()));

    const std::string recorder = TempPath("arecord.pid");
    const std::string record
        = "arecord -q -D default -f FLOAT_LE -c 1 -r 44100 -t raw -d 3 " + recording + " & echo $! >" + recorder;
    ASSERT_EQ(0, std::system(record.c_str()));
    // Play only once the recorder is attached to the sound server.
    ASSERT_EQ(0, std::system("for i in $(seq 100); do pactl list short source-outputs | grep -q . && exit 0; "
                             "sleep 0.1; done; exit 1"));
    ASSERT_EQ(0, std::system(("paplay " + tone).c_str()));
    // Other rigs on the machine may be recording too: wait for this one's recorder.
    ASSERT_EQ(0, std::system(("sleep 1; while kill -0 $(cat " + recorder + ") 2>/dev/null; do sleep 0.1; done").c_str()));
    std::remove(recorder.c_str());

    const std::vector<float> samples = ReadRawFloats(recording);
    std::remove(tone.c_str());
    std::remove(recording.c_str());
    ASSERT_GT(samples.size(), 44100u);

    // Find the loudest half second: the tone sits somewhere in the recording.
    const size_t block = 22050;
    double best = 0.0;
    size_t bestStart = 0;
    for (size_t start = 0; start + block <= samples.size(); start += block / 2) {
        double energy = 0.0;
        for (size_t i = start; i < start + block; ++i)
            energy += double(samples[i]) * samples[i];
        if (energy > best) {
            best = energy;
            bestStart = start;
        }
    }
    ASSERT_GT(best / block, 0.01) << "the recording is silent";
    const std::vector<float> loudest(samples.begin() + bestStart, samples.begin() + bestStart + block);
    EXPECT_GT(RelativePower(loudest, 440.0, 44100.0), 0.8);
    EXPECT_LT(RelativePower(loudest, 660.0, 44100.0), 0.05);
}
