// A note that stops abruptly, as a muted string does: the reading held through
// the silence after it must be the one the note gave while it sounded, wherever
// the end falls in the analysis windows.
#include "audio/Decimator.h"
#include "audio/PitchAnalysis.h"
#include "audio/SampleFile.h"
#include "audio/SlidingSampleWindow.h"

#include "SoundRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double Cents(double f, double reference)
{
    return 1200.0 * std::log2(f / reference);
}

struct Readings {
    float sounding = 0.0f; // the last reading before the end
    float held = 0.0f; // the reading after a second of silence
};

// The capture's road at 44100 Hz (blocks of 512 frames decimated, a window
// every 128 samples) with a reading every 50 ms, as the tuner's refresh
// takes them, of the note cut `end` samples in and then silence.
Readings ReadCutNote(const std::vector<float>& note, std::size_t end, int firstReadingMs)
{
    std::vector<float> input(note.begin(), note.begin() + long(end));
    input.resize(input.size() + 44100, 0.0f);
    std::vector<float> newest;
    bool fresh = false;
    SlidingSampleWindow windows(2048, 128, [&](const float* s, unsigned n) {
        newest.assign(s, s + n);
        fresh = true;
    });
    Decimator decimator;
    PitchAnalysis analysis;
    std::vector<float> block(512);
    Readings readings;
    double nextReadingMs = firstReadingMs;
    for (std::size_t at = 0; at + 512 <= input.size(); at += 512) {
        windows.Push(block.data(), decimator.Process(input.data() + at, 512, block.data()));
        const double nowMs = 1000.0 * double(at + 512) / 44100.0;
        if (nowMs < nextReadingMs || !fresh)
            continue;
        nextReadingMs = nowMs + 51.0;
        fresh = false;
        analysis.Run(newest, PitchAnalysis::Gate());
        if (at + 512 <= end)
            readings.sounding = analysis.Frequency();
    }
    readings.held = analysis.Frequency();
    return readings;
}

} // namespace

TEST(NoteEnd, TheReadingHeldAfterAnAbruptEndIsTheNotesOwn)
{
    const struct {
        const char* sound;
        double hz;
    } notes[] = {{"sine", 432.44}, {"pluck", 80.86}, {"pluck", 432.44}};
    for (const auto& n : notes) {
        const std::string file = SoundRig::NoteFile(n.sound, n.hz, 1.2);
        std::vector<float> note;
        ASSERT_TRUE(LoadSampleFile(file, note, 2000.0f, 44100)) << file;
        std::remove(file.c_str());
        double worst = 0.0;
        Readings worstReadings;
        // Ends a sixteenth of a window (512 frames) apart over two windows,
        // each read at two phases of the refresh.
        for (std::size_t end = 30000; end < 30000 + 2 * 8192; end += 512 + 37) {
            for (const int firstReadingMs : {300, 325}) {
                const Readings r = ReadCutNote(note, end, firstReadingMs);
                ASSERT_LE(std::fabs(Cents(r.sounding, n.hz)), 50.0) << n.sound << " " << n.hz << " read " << r.sounding;
                if (std::fabs(Cents(r.held, r.sounding)) > worst) {
                    worst = std::fabs(Cents(r.held, r.sounding));
                    worstReadings = r;
                }
            }
        }
        EXPECT_LE(worst, 3.0) << n.sound << " at " << n.hz << " Hz read " << worstReadings.sounding
                              << " Hz while it sounded and held " << worstReadings.held << " Hz";
    }
}
