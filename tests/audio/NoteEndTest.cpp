// A note that stops abruptly, as a muted string does: the reading held through
// the silence after it must be the one the note gave while it sounded, wherever
// the end falls in the analysis windows. A note that is shorter than a window,
// or that dies away fast, is no such stop: the tuner must name it as well as
// when it reads every window whole.
#include "audio/SampleFile.h"

#include "CaptureReadings.h"
#include "SoundRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using CaptureReadings::Cents;

struct Readings {
    float sounding = 0.0f; // the last reading before the end
    float held = 0.0f; // the reading after a second of silence
};

// The note cut `end` samples in and then silence, read through the capture
// from firstReadingMs on.
Readings ReadCutNote(const std::vector<float>& note, std::size_t end, int firstReadingMs)
{
    std::vector<float> input(note.begin(), note.begin() + long(end));
    input.resize(input.size() + 44100, 0.0f);
    const std::vector<CaptureReadings::Reading> all = CaptureReadings::Read(input, firstReadingMs);
    Readings readings;
    for (const CaptureReadings::Reading& r : all) {
        if (r.frames <= end)
            readings.sounding = r.hz;
    }
    readings.held = all.back().hz;
    return readings;
}

// Whether a reading taken after `from` input frames showed the note.
bool ShownAfter(const std::vector<CaptureReadings::Reading>& readings, std::size_t from, double hz)
{
    for (const CaptureReadings::Reading& r : readings) {
        if (r.frames > from && r.hz > 0.0f && std::fabs(Cents(r.hz, hz)) <= 50.0)
            return true;
    }
    return false;
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

// Staccato bass after a held note a fifth above and a rest, cut off after 100
// to 300 ms: every window that holds all of such a note also holds its end.
TEST(NoteEnd, StaccatoBassIsNamedAsOftenAsWhenEveryWindowIsReadWhole)
{
    using namespace CaptureReadings;
    int cases = 0, named = 0, namedWhole = 0, held = 0, heldWhole = 0;
    for (const double hz : {41.20, 55.0}) {
        const std::vector<float> before = Joined({Strike(hz * 1.5, 1.0, 3.0, true), Rest(0.3)});
        for (const double seconds : {0.1, 0.15, 0.2, 0.25, 0.3}) {
            for (const double decay : {3.0, 10.0}) {
                const std::vector<float> input = Joined({before, Strike(hz, seconds, decay, true), Rest(1.0)});
                for (const int firstReadingMs : {0, 13, 26, 39}) {
                    ++cases;
                    const auto readings = Read(input, firstReadingMs);
                    const auto whole = Read(input, firstReadingMs, PitchAnalysis::Stops::Ignored);
                    named += ShownAfter(readings, before.size(), hz);
                    namedWhole += ShownAfter(whole, before.size(), hz);
                    held += std::fabs(Cents(readings.back().hz, hz)) <= 50.0;
                    heldWhole += std::fabs(Cents(whole.back().hz, hz)) <= 50.0;
                }
            }
        }
    }
    EXPECT_GE(named, namedWhole) << "of " << cases;
    EXPECT_GE(held, heldWhole) << "of " << cases << " held";
    EXPECT_GE(named, cases / 2) << "of " << cases;
}

// Struck notes that die away within a fifth or a tenth of a second, after a
// held note a fourth above and a rest: shown at their first strike, and read
// as well as when every window is read whole.
TEST(NoteEnd, ANoteDyingAwayFastIsShownAtItsFirstStrike)
{
    using namespace CaptureReadings;
    for (const double decay : {150.0, 300.0}) {
        for (const double hz : {82.41, 440.0, 1318.51}) {
            const std::vector<float> before = Joined({Strike(hz * 4.0 / 3.0, 1.0, 3.0, true), Rest(0.3)});
            const std::vector<float> input = Joined({before, Strike(hz, 1.5, decay, false), Rest(0.5)});
            for (const int firstReadingMs : {0, 13, 26, 39}) {
                const auto readings = Read(input, firstReadingMs);
                const auto whole = Read(input, firstReadingMs, PitchAnalysis::Stops::Ignored);
                EXPECT_TRUE(ShownAfter(readings, before.size(), hz))
                    << hz << " Hz falling " << decay << " dB/s, first reading at " << firstReadingMs << " ms";
                EXPECT_LE(std::fabs(Cents(readings.back().hz, hz)), std::fabs(Cents(whole.back().hz, hz)) + 2.0)
                    << hz << " Hz falling " << decay << " dB/s, first reading at " << firstReadingMs << " ms held "
                    << readings.back().hz << " Hz, " << whole.back().hz << " Hz read whole";
            }
        }
    }
}
