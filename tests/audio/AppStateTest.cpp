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

TEST(AppState, StartsWithItsDefaultsAndReportsTheBinCountOfANewUpperFrequency)
{
    AppState state;
    EXPECT_EQ(state.MaxFrequency, 2700);
    EXPECT_EQ(state.GetReferenceFrequency(), 440.0f);
    EXPECT_EQ(state.GetTransposeShift(), 0);
    EXPECT_EQ(state.Threshold, 5);
    EXPECT_EQ(state.LevelOffsetDb, 20);
    EXPECT_EQ(state.LevelRangeDb, 100);
    EXPECT_FLOAT_EQ(state.GetTunerUpdateInterval(), 0.05f);
    EXPECT_FLOAT_EQ(state.GetWindowUpdateInterval(), 0.25f);
    EXPECT_FLOAT_EQ(state.GetMetronomeUpdateInterval(), 0.05f);
    EXPECT_EQ(state.GetVersion(), "4.0.810");
    EXPECT_TRUE(state.Notes.IsEmpty());
    EXPECT_EQ(&AppState::Instance(), &AppState::Instance());

    state.SetMaxFrequency(1000);
    int bins = -1;
    state.OnChange = [&](int count) { bins = count; };
    state.SetMaxFrequency(2700);
    EXPECT_EQ(state.MaxFrequency, 2700);
    EXPECT_EQ(bins, 502);
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
