#include "audio/AppState.h"
#include "audio/OctaveLookup.h"

#include "MusicModelTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using MusicTest::NotesFromText;

namespace {

const char* kOctaves = R"(<Note Name="A4" Frequency="440"/><Note Name="A2" Frequency="110"/><Note Name="A3" Frequency="220"/>)";

} // namespace

TEST(OctaveLookup, FindsTheNearestEntryAndKeepsTheLowerOnATie)
{
    OctaveLookup lookup;
    lookup.Build(NotesFromText(kOctaves));
    ASSERT_EQ(lookup.Entries().size(), 3u);
    EXPECT_EQ(lookup.FindNearest(300.0f)->name, "A3");
    EXPECT_EQ(lookup.FindNearest(165.0f)->name, "A2");
    EXPECT_EQ(lookup.FindNearest(1000.0f)->name, "A4");
    EXPECT_EQ(lookup.FindNearest(50.0f)->name, "A2");
    EXPECT_EQ(lookup.FindNearest(220.0f)->name, "A3");
}

TEST(OctaveLookup, NeighboursStopAtTheEnds)
{
    OctaveLookup lookup;
    lookup.Build(NotesFromText(kOctaves));
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

TEST(OctaveLookup, BuildingAgainReplacesTheTable)
{
    OctaveLookup lookup;
    const NoteStore store = NotesFromText(kOctaves);
    lookup.Build(store);
    lookup.Build(store);
    ASSERT_EQ(lookup.Entries().size(), 3u);
    EXPECT_EQ(lookup.Entries()[0].frequency, 110.0f);
    EXPECT_EQ(lookup.Entries()[1].frequency, 220.0f);
    EXPECT_EQ(lookup.Next(*lookup.FindNearest(220.0f)).name, "A4");
}

TEST(OctaveLookup, EmptyTableNamesNothing)
{
    OctaveLookup lookup;
    EXPECT_EQ(lookup.FindNearest(440.0f), nullptr);
    AppState state;
    EXPECT_EQ(state.NearestNoteName(440.0f), "");
    EXPECT_EQ(state.NearestNoteLabel(440.0f), "");
    EXPECT_EQ(state.LowerNoteFrequency(440.0f), 440.0f);
    EXPECT_EQ(state.UpperNoteFrequency(440.0f), 440.0f);
    EXPECT_EQ(state.TransposeFrequency(440.0f, 3), 440.0f);
}

TEST(OctaveLookup, LabelsKeepLettersSharpsAndFlats)
{
    EXPECT_EQ(NoteLabel("D#4"), "D#");
    EXPECT_EQ(NoteLabel("Bb3"), "Bb");
    EXPECT_EQ(NoteLabel("Ebb2"), "Ebb");
    EXPECT_EQ(NoteLabel("E2 low string"), "E");
    EXPECT_EQ(NoteLabel("b3"), "");
    EXPECT_EQ(NoteLabel(""), "");
    EXPECT_EQ(StripOctaveDigits("A#10"), "A#");
    EXPECT_EQ(StripOctaveDigits("Bb3"), "Bb");
    EXPECT_EQ(StripOctaveDigits("0123456789"), "");

    OctaveLookup lookup;
    lookup.Build(NotesFromText(R"(<Note Name="Bb3" Frequency="233.08"/><Note Name="D#4" Frequency="311.13"/>)"));
    EXPECT_EQ(lookup.FindNearest(233.0f)->label, "Bb");
    EXPECT_EQ(lookup.FindNearest(311.0f)->label, "D#");
}

TEST(OctaveLookup, EqualFrequenciesKeepStoreOrder)
{
    OctaveLookup lookup;
    // The store orders by name, so "Ab" comes before "G#".
    lookup.Build(NotesFromText(R"(<Note Name="G#4" Frequency="415.3"/><Note Name="Ab4" Frequency="415.3"/>)"
                               R"(<Note Name="A4" Frequency="440"/>)"));
    ASSERT_EQ(lookup.Entries().size(), 3u);
    EXPECT_EQ(lookup.Entries()[0].name, "Ab4");
    EXPECT_EQ(lookup.Entries()[1].name, "G#4");
    EXPECT_EQ(lookup.FindNearest(415.3f)->name, "Ab4");
}
