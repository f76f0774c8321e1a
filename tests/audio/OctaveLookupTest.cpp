#include "audio/AppState.h"
#include "audio/OctaveLookup.h"

#include "MusicModelTestSupport.h"

#include <gtest/gtest.h>

using MusicTest::NotesFromText;

TEST(OctaveLookup, FindsTheNearestEntryAndItsNeighboursAndBuildsAgainWithoutDoubling)
{
    OctaveLookup lookup;
    EXPECT_EQ(lookup.FindNearest(440.0f), nullptr) << "an empty table names nothing";
    const NoteStore store = NotesFromText(
        R"(<Note Name="A4" Frequency="440"/><Note Name="A2" Frequency="110"/><Note Name="A3" Frequency="220"/>)");
    lookup.Build(store);
    lookup.Build(store);
    ASSERT_EQ(lookup.Entries().size(), 3u);
    EXPECT_EQ(lookup.Entries()[0].frequency, 110.0f);
    EXPECT_EQ(lookup.Entries()[1].frequency, 220.0f);
    const std::pair<float, const char*> nearest[] = {
        {300.0f, "A3"}, {165.0f, "A2"}, {1000.0f, "A4"}, {50.0f, "A2"}, {220.0f, "A3"}};
    for (const auto& [frequency, name] : nearest)
        EXPECT_EQ(lookup.FindNearest(frequency)->name, name) << frequency << " Hz; a tie keeps the lower";

    const NoteName& low = *lookup.FindNearest(100.0f);
    const NoteName& high = *lookup.FindNearest(500.0f);
    EXPECT_EQ(&lookup.Previous(low), &low);
    EXPECT_EQ(&lookup.Next(high), &high);
    EXPECT_EQ(lookup.Next(low).name, "A3");
    EXPECT_EQ(lookup.Previous(high).name, "A3");
    const NoteName stranger{"X", "", 123.0f};
    EXPECT_EQ(&lookup.Previous(stranger), &stranger);
    EXPECT_EQ(&lookup.Next(stranger), &stranger);
}

TEST(OctaveLookup, LabelsKeepLettersSharpsAndFlats)
{
    const std::pair<const char*, const char*> labels[] = {{"D#4", "D#"},          {"Bb3", "Bb"}, {"Ebb2", "Ebb"},
                                                          {"E2 low string", "E"}, {"b3", ""},    {"", ""}};
    for (const auto& [name, label] : labels)
        EXPECT_EQ(NoteLabel(name), label) << name;
    EXPECT_EQ(StripOctaveDigits("A#10"), "A#");
    EXPECT_EQ(StripOctaveDigits("Bb3"), "Bb");
    EXPECT_EQ(StripOctaveDigits("0123456789"), "");

    OctaveLookup lookup;
    // The store orders by name, so "Ab" comes before "G#" at the same frequency.
    lookup.Build(NotesFromText(R"(<Note Name="Bb3" Frequency="233.08"/><Note Name="G#4" Frequency="415.3"/>)"
                               R"(<Note Name="Ab4" Frequency="415.3"/><Note Name="D#4" Frequency="311.13"/>)"));
    EXPECT_EQ(lookup.FindNearest(233.0f)->label, "Bb");
    EXPECT_EQ(lookup.FindNearest(311.0f)->label, "D#");
    ASSERT_EQ(lookup.Entries().size(), 4u);
    EXPECT_EQ(lookup.Entries()[2].name, "Ab4");
    EXPECT_EQ(lookup.Entries()[3].name, "G#4");
    EXPECT_EQ(lookup.FindNearest(415.3f)->name, "Ab4");
}

TEST(OctaveLookup, EnharmonicTwinsNeitherStopTheNearestWalkNorHoldBackAStepOrATransposition)
{
    const char* notes = R"(<Note Name="C4" Frequency="261.63"/><Note Name="C#4" Frequency="277.18"/>)"
                        R"(<Note Name="Db4" Frequency="277.18"/><Note Name="D4" Frequency="293.66"/>)"
                        R"(<Note Name="D#4" Frequency="311.13"/><Note Name="Eb4" Frequency="311.13"/>)";
    OctaveLookup lookup;
    lookup.Build(NotesFromText(notes));
    EXPECT_EQ(lookup.FindNearest(290.0f)->name, "D4");
    EXPECT_EQ(lookup.FindNearest(278.0f)->name, "C#4");
    EXPECT_EQ(lookup.FindNearest(400.0f)->name, "D#4");
    EXPECT_EQ(lookup.Next(*lookup.FindNearest(277.18f)).name, "D4");
    EXPECT_EQ(lookup.Previous(*lookup.FindNearest(293.66f)).frequency, 277.18f);
    const NoteName& top = *lookup.FindNearest(311.13f);
    EXPECT_EQ(&lookup.Next(top), &top);

    AppState state;
    state.BuildNotes(NotesFromText(notes));
    EXPECT_FLOAT_EQ(state.TransposeFrequency(261.63f, 2), 293.66f);
    EXPECT_FLOAT_EQ(state.TransposeFrequency(261.63f, 3), 311.13f);
    EXPECT_FLOAT_EQ(state.TransposeFrequency(311.13f, -2), 277.18f);
}
