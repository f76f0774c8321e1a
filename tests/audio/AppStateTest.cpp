#include "audio/AppState.h"

#include "MusicModelTestSupport.h"
#include "audio/TuneConfig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <type_traits>

using MusicTest::ConfigFile;

// The audio thread reads these while the screens write them.
static_assert(std::is_same_v<decltype(AppState::ReferenceFrequency), std::atomic<float>>);
static_assert(std::is_same_v<decltype(AppState::Threshold), std::atomic<int>>);
static_assert(std::is_same_v<decltype(AppState::Bpm), std::atomic<int>>);
static_assert(std::is_same_v<decltype(AppState::LevelRangeDb), std::atomic<int>>);

TEST(AppState, StartsAt440HzAndReportsTheBinCountOfANewUpperFrequency)
{
    AppState state;
    EXPECT_EQ(state.GetReferenceFrequency(), 440.0f) << "defined before any screen sets it";
    // Without notes nothing is named and nothing moves.
    EXPECT_TRUE(state.Notes.IsEmpty());
    EXPECT_EQ(state.NearestNoteName(440.0f), "");
    EXPECT_EQ(state.NearestNoteLabel(440.0f), "");
    EXPECT_EQ(state.LowerNoteFrequency(440.0f), 440.0f);
    EXPECT_EQ(state.UpperNoteFrequency(440.0f), 440.0f);
    EXPECT_EQ(state.TransposeFrequency(440.0f, 3), 440.0f);

    state.SetMaxFrequency(1000);
    int bins = -1;
    state.OnChange = [&](int count) { bins = count; };
    state.SetMaxFrequency(2700);
    EXPECT_EQ(state.MaxFrequency, 2700);
    EXPECT_EQ(bins, 502);
}

TEST(AppState, EveryParameterStartsAtItsDefault)
{
    const AppState state;
    const struct {
        const char* name;
        double actual;
        double expected;
    } defaults[] = {{"MaxFrequency", double(state.MaxFrequency), 2700},
                    {"TransposeShift", double(state.GetTransposeShift()), 0},
                    {"Threshold", double(state.Threshold), 5},
                    {"LevelOffsetDb", double(state.LevelOffsetDb), 20},
                    {"LevelRangeDb", double(state.LevelRangeDb), 100},
                    {"TunerUpdateInterval", double(state.GetTunerUpdateInterval()), 0.05},
                    {"WindowUpdateInterval", double(state.GetWindowUpdateInterval()), 0.25},
                    {"MetronomeUpdateInterval", double(state.GetMetronomeUpdateInterval()), 0.05},
                    {"ReferenceFrequency", double(state.GetReferenceFrequency()), 440},
                    {"Bpm", double(state.GetBpm()), 114},
                    {"Accent", double(state.GetAccent()), 4}};
    for (const auto& value : defaults)
        EXPECT_FLOAT_EQ(float(value.expected), float(value.actual)) << value.name;
    EXPECT_EQ("4.0.810", state.GetVersion());
}

TEST(AppState, NamesStepsAndTransposesThroughTheConfiguredNotes)
{
    ConfigFile file("Tuning.xml");
    TuneConfig config(file.Root());
    AppState state;
    state.BuildNotes(config.GetNoteStore());
    EXPECT_EQ(state.Notes.Entries().size(), 61u);
    EXPECT_EQ(state.NearestNoteName(445.0f), "A4");
    EXPECT_EQ(state.NearestNoteLabel(117.0f), "A#");
    EXPECT_EQ(state.NearestNoteLabel(1860.0f), "Bb");
    EXPECT_FLOAT_EQ(state.UpperNoteFrequency(445.0f), 466.16f);
    EXPECT_FLOAT_EQ(state.LowerNoteFrequency(445.0f), 415.30f);
    EXPECT_FLOAT_EQ(state.TransposeFrequency(261.63f, 2), 293.66f);
    EXPECT_FLOAT_EQ(state.TransposeFrequency(261.63f, -3), 220.0f);
    EXPECT_FLOAT_EQ(state.TransposeFrequency(261.63f, 0), 261.63f);
    // Huge shifts end at the table's ends.
    EXPECT_FLOAT_EQ(state.TransposeFrequency(82.41f, config.GetTransposeStore().GetShift("Far")), 1864.66f);
    EXPECT_FLOAT_EQ(state.TransposeFrequency(82.41f, INT32_MIN), 32.70f);
}
