// Instrument notes rendered with fluidsynth from a General MIDI sound font,
// each struck twice, through the tuner's road: 44100 Hz blocks of 512 frames
// decimated to 11025 Hz, a 2048-sample window every 128 samples, and a reading
// every 50 ms (at four offsets of the refresh against the notes). Every note is
// read twice: as the tuner reads it, and with every window read whole, without
// looking for a sound that stops within it.
//
//   rendered_notes [--keep FOLDER]     renders into FOLDER, or takes the notes
//                                      already rendered there (default: a
//                                      temporary folder, removed at the end)
//
// Per note and way of reading: in how many of the four timings the note was
// shown (a reading within 50 cents of it) after its first strike and after its
// second, how long after the first strike it first showed, and how far the
// reading held just before the second strike lies from the note; and in how
// many timings that reading was more than 2 cents further off as the tuner
// reads than with every window whole.
// Needs fluidsynth and a sound font (fluid-soundfont-gm); says so and renders
// nothing without them.

#include "audio/Decimator.h"
#include "audio/PitchAnalysis.h"
#include "audio/SampleFile.h"
#include "audio/SlidingSampleWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const int kRate = 44100;
const int kBlock = 512;
const double kFirstStrike = 0.3;
const double kSecondStrike = 2.3;
const double kLength = 4.3;
const double kReadingMs = 50.0;
const double kOffsetsMs[] = {0.0, 12.5, 25.0, 37.5};
const double kShownCents = 50.0;

struct Note {
    const char* kind;
    const char* name;
    int program; // General MIDI, from 0
    int key; // MIDI note number
    double heldSeconds; // until the key is let go
};

// Low bass to the piano's top; struck, plucked, bowed, blown, short and held.
const Note kNotes[] = {
    {"struck", "piano A0", 0, 21, 1.5},
    {"struck", "piano E2", 0, 40, 1.5},
    {"struck", "piano A4", 0, 69, 1.5},
    {"struck", "piano A6", 0, 93, 1.5},
    {"struck", "piano C8", 0, 108, 1.5},
    {"struck", "harpsichord C6", 6, 84, 1.5},
    {"struck", "glockenspiel A6", 9, 93, 1.5},
    {"struck", "music box A5", 10, 81, 1.5},
    {"struck", "vibraphone A4", 11, 69, 1.5},
    {"struck", "marimba A4", 12, 69, 1.5},
    {"struck", "marimba A6", 12, 93, 1.5},
    {"struck", "xylophone A4", 13, 69, 1.5},
    {"struck", "xylophone A5", 13, 81, 1.5},
    {"struck", "kalimba A4", 108, 69, 1.5},
    {"struck", "steel drums A5", 114, 81, 1.5},
    {"plucked", "nylon guitar E2", 24, 40, 1.5},
    {"plucked", "nylon guitar A3", 24, 57, 1.5},
    {"plucked", "steel guitar E4", 25, 64, 1.5},
    {"plucked", "acoustic bass E1", 32, 28, 1.5},
    {"plucked", "finger bass A1", 33, 33, 1.5},
    {"plucked", "pick bass E2", 34, 40, 1.5},
    {"plucked", "pizzicato A3", 45, 57, 1.5},
    {"plucked", "pizzicato A4", 45, 69, 1.5},
    {"plucked", "harp A3", 46, 57, 1.5},
    {"plucked", "banjo A4", 105, 69, 1.5},
    {"bowed", "violin A4", 40, 69, 1.0},
    {"bowed", "violin E6", 40, 88, 1.0},
    {"bowed", "cello C2", 42, 36, 1.0},
    {"bowed", "contrabass E1", 43, 28, 1.0},
    {"staccato", "acoustic bass E1 100 ms", 32, 28, 0.1},
    {"staccato", "acoustic bass E1 150 ms", 32, 28, 0.15},
    {"staccato", "acoustic bass A1 200 ms", 32, 33, 0.2},
    {"staccato", "finger bass E1 150 ms", 33, 28, 0.15},
    {"staccato", "finger bass A1 100 ms", 33, 33, 0.1},
    {"staccato", "finger bass A1 150 ms", 33, 33, 0.15},
    {"staccato", "finger bass A1 300 ms", 33, 33, 0.3},
    {"staccato", "nylon guitar E2 150 ms", 24, 40, 0.15},
    {"staccato", "piano A4 150 ms", 0, 69, 0.15},
    {"staccato", "violin A4 150 ms", 40, 69, 0.15},
    {"held", "church organ A2", 19, 45, 1.5},
    {"held", "strings A3", 48, 57, 1.5},
    {"held", "trumpet A4", 56, 69, 1.5},
    {"held", "tuba A1", 58, 33, 1.5},
    {"held", "flute A5", 73, 81, 1.5},
};

double KeyHz(int key)
{
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

double Cents(double f, double reference)
{
    return 1200.0 * std::log2(f / reference);
}

// A type-0 MIDI file at 960 ticks a second: the program, then the key struck
// at each strike and let go after heldSeconds.
std::string MidiFile(const Note& note)
{
    auto var = [](unsigned n) {
        std::string out(1, char(n & 0x7F));
        while (n >>= 7)
            out.insert(out.begin(), char(0x80 | (n & 0x7F)));
        return out;
    };
    auto ticks = [](double seconds) { return unsigned(std::lround(seconds * 960.0)); };
    std::string events = var(0) + char(0xC0) + char(note.program);
    unsigned at = 0;
    for (const double strike : {kFirstStrike, kSecondStrike}) {
        events += var(ticks(strike) - at) + char(0x90) + char(note.key) + char(100);
        events += var(ticks(note.heldSeconds)) + char(0x80) + char(note.key) + char(0);
        at = ticks(strike + note.heldSeconds);
    }
    events += var(ticks(kLength) - at) + char(0xFF) + char(0x2F) + char(0x00);
    auto be = [](unsigned value, int bytes) {
        std::string out;
        for (int i = bytes - 1; i >= 0; --i)
            out += char((value >> (8 * i)) & 0xFF);
        return out;
    };
    // 480 ticks a quarter note at the default 120 beats a minute.
    return "MThd" + be(6, 4) + be(0, 2) + be(1, 2) + be(480, 2) + "MTrk" + be(unsigned(events.size()), 4) + events;
}

std::string FindSoundFont()
{
    for (const char* path : {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
                             "/usr/share/sounds/sf2/TimGM6mb.sf2"}) {
        if (std::ifstream(path))
            return path;
    }
    return "";
}

bool Render(const Note& note, const std::string& folder, const std::string& soundFont, std::vector<float>& samples)
{
    const std::string base = folder + "/" + std::to_string(note.program) + "-" + std::to_string(note.key) + "-"
        + std::to_string(int(note.heldSeconds * 1000.0));
    if (LoadSampleFile(base + ".wav", samples, 1000.0f * kLength, kRate))
        return true;
    std::ofstream(base + ".mid", std::ios::binary) << MidiFile(note);
    const std::string command = "fluidsynth -ni -q -g 0.6 -r 44100 -F '" + base + ".wav' '" + soundFont + "' '" + base
        + ".mid' > /dev/null 2>&1";
    return std::system(command.c_str()) == 0 && LoadSampleFile(base + ".wav", samples, 1000.0f * kLength, kRate);
}

struct Reading {
    double seconds;
    float hz;
};

// Readings every 50 ms from offsetMs on, each of the newest window.
std::vector<Reading> Read(const std::vector<float>& input, double offsetMs, PitchAnalysis::Stops stops)
{
    std::vector<float> newest;
    bool fresh = false;
    SlidingSampleWindow windows(2048, 128, [&](const float* s, unsigned n) {
        newest.assign(s, s + n);
        fresh = true;
    });
    Decimator decimator;
    PitchAnalysis analysis(stops);
    std::vector<float> block(kBlock);
    std::vector<Reading> readings;
    double nextMs = offsetMs;
    for (std::size_t at = 0; at + kBlock <= input.size(); at += kBlock) {
        windows.Push(block.data(), decimator.Process(input.data() + at, kBlock, block.data()));
        const double nowMs = 1000.0 * double(at + kBlock) / kRate;
        if (nowMs < nextMs || !fresh)
            continue;
        nextMs = nowMs + kReadingMs;
        fresh = false;
        analysis.Run(newest, PitchAnalysis::Gate());
        readings.push_back({nowMs / 1000.0, analysis.Frequency()});
    }
    return readings;
}

struct Outcome {
    int shownFirst = 0; // timings that showed the note after its first strike
    int shownSecond = 0;
    std::vector<double> delaysMs; // after the first strike, where shown
    std::vector<double> heldCents; // the reading held before the second strike, where shown
    std::vector<double> heldByTiming; // the same for every timing, NaN where not shown
};

bool Shown(float hz, double expected)
{
    return hz > 0.0f && std::fabs(Cents(hz, expected)) <= kShownCents;
}

Outcome Measure(const std::vector<float>& input, double expected, PitchAnalysis::Stops stops)
{
    Outcome outcome;
    for (const double offsetMs : kOffsetsMs) {
        const std::vector<Reading> readings = Read(input, offsetMs, stops);
        double delay = -1.0;
        bool second = false;
        float held = 0.0f;
        for (const Reading& r : readings) {
            if (r.seconds > kFirstStrike && r.seconds <= kSecondStrike) {
                held = r.hz;
                if (delay < 0.0 && Shown(r.hz, expected))
                    delay = 1000.0 * (r.seconds - kFirstStrike);
            }
            if (r.seconds > kSecondStrike && Shown(r.hz, expected))
                second = true;
        }
        outcome.shownFirst += delay >= 0.0;
        outcome.shownSecond += second;
        if (delay >= 0.0)
            outcome.delaysMs.push_back(delay);
        outcome.heldByTiming.push_back(Shown(held, expected) ? Cents(held, expected) : NAN);
        if (Shown(held, expected))
            outcome.heldCents.push_back(Cents(held, expected));
    }
    return outcome;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : 0.5 * (values[mid - 1] + values[mid]);
}

double Largest(const std::vector<double>& values)
{
    double largest = NAN;
    for (double v : values)
        largest = std::isnan(largest) ? std::fabs(v) : std::max(largest, std::fabs(v));
    return largest;
}

struct Totals {
    int shownFirst = 0;
    int shownSecond = 0;
    int neverShown = 0; // timings shown at neither strike
    std::vector<double> heldCents;
};

void Add(Totals& totals, const Outcome& o)
{
    totals.shownFirst += o.shownFirst;
    totals.shownSecond += o.shownSecond;
    totals.neverShown += int(std::size(kOffsetsMs)) - std::max(o.shownFirst, o.shownSecond);
    for (double c : o.heldCents)
        totals.heldCents.push_back(std::fabs(c));
}

void PrintTotals(const char* title, const Totals& found, const Totals& whole, int timings)
{
    auto p95 = [](std::vector<double> v) -> double {
        if (v.empty())
            return NAN;
        std::sort(v.begin(), v.end());
        return v[std::size_t(0.95 * double(v.size() - 1))];
    };
    std::printf("%-10s %4d timings: first strike %3d | %3d, second %3d | %3d, neither %3d | %3d; held |c| median "
                "%5.1f | %5.1f, p95 %5.1f | %5.1f\n",
                title, timings, found.shownFirst, whole.shownFirst, found.shownSecond, whole.shownSecond,
                found.neverShown, whole.neverShown, Median(found.heldCents), Median(whole.heldCents),
                p95(found.heldCents), p95(whole.heldCents));
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::string keep;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keep") == 0 && i + 1 < argc) {
            keep = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--keep FOLDER]\n", argv[0]);
            return 2;
        }
    }
    const std::string soundFont = FindSoundFont();
    if (std::system("command -v fluidsynth > /dev/null 2>&1") != 0 || soundFont.empty()) {
        std::printf("rendered_notes: fluidsynth or a General MIDI sound font is missing, nothing was rendered or "
                    "measured (apt-get install fluidsynth fluid-soundfont-gm)\n");
        return 1;
    }
    std::string folder = keep;
    if (folder.empty()) {
        char pattern[] = "/tmp/rendered-notes.XXXXXX";
        if (!::mkdtemp(pattern)) {
            std::perror("rendered_notes: temporary folder");
            return 1;
        }
        folder = pattern;
    } else if (std::system(("mkdir -p '" + folder + "'").c_str()) != 0) {
        std::fprintf(stderr, "rendered_notes: cannot make %s\n", folder.c_str());
        return 1;
    }
    std::printf("rendered_notes: %s, strikes at %.1f s and %.1f s, a reading every %.0f ms at %zu offsets\n",
                soundFont.c_str(), kFirstStrike, kSecondStrike, kReadingMs, std::size(kOffsetsMs));
    std::printf("each column pair: as the tuner reads | every window whole; held: cents of the reading before "
                "the second strike\n\n");
    std::printf("%-9s %-26s %8s %9s %9s %13s %15s %13s %s\n", "kind", "note", "Hz", "first", "second", "delay ms",
                "held c", "worst held c", "worse");
    Totals allFound, allWhole;
    std::vector<std::pair<std::string, std::pair<Totals, Totals>>> kinds;
    int failed = 0;
    int worse = 0;
    for (const Note& note : kNotes) {
        std::vector<float> samples;
        if (!Render(note, folder, soundFont, samples)) {
            std::fprintf(stderr, "rendered_notes: %s did not render\n", note.name);
            ++failed;
            continue;
        }
        const double hz = KeyHz(note.key);
        const Outcome found = Measure(samples, hz, PitchAnalysis::Stops::Found);
        const Outcome whole = Measure(samples, hz, PitchAnalysis::Stops::Ignored);
        int worseTimings = 0;
        for (std::size_t t = 0; t < found.heldByTiming.size(); ++t) {
            const double a = std::fabs(found.heldByTiming[t]), b = std::fabs(whole.heldByTiming[t]);
            worseTimings += (std::isnan(a) && !std::isnan(b)) || a > b + 2.0;
        }
        worse += worseTimings;
        std::printf("%-9s %-26s %8.2f %4d|%-4d %4d|%-4d %6.0f|%-6.0f %+7.1f|%-+7.1f %6.1f|%-6.1f %d\n", note.kind,
                    note.name, hz, found.shownFirst, whole.shownFirst, found.shownSecond, whole.shownSecond,
                    Median(found.delaysMs), Median(whole.delaysMs), Median(found.heldCents), Median(whole.heldCents),
                    Largest(found.heldCents), Largest(whole.heldCents), worseTimings);
        auto kind = std::find_if(kinds.begin(), kinds.end(), [&](const auto& k) { return k.first == note.kind; });
        if (kind == kinds.end())
            kind = kinds.insert(kinds.end(), {note.kind, {}});
        Add(kind->second.first, found);
        Add(kind->second.second, whole);
        Add(allFound, found);
        Add(allWhole, whole);
    }
    std::printf("\n");
    const int timings = int(std::size(kOffsetsMs));
    for (const auto& [kind, totals] : kinds) {
        int notes = 0;
        for (const Note& note : kNotes)
            notes += kind == note.kind;
        PrintTotals(kind.c_str(), totals.first, totals.second, notes * timings);
    }
    PrintTotals("all", allFound, allWhole, int(std::size(kNotes) - std::size_t(failed)) * timings);
    std::printf("timings whose held reading is more than 2 cents further off (or not shown) than with every window "
                "whole: %d\n",
                worse);
    if (keep.empty() && std::system(("rm -rf '" + folder + "'").c_str()) != 0)
        std::fprintf(stderr, "rendered_notes: %s is left behind\n", folder.c_str());
    return failed ? 1 : 0;
}
