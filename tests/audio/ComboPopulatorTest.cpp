#include "audio/ComboPopulator.h"

#include "MusicModelTestSupport.h"
#include "audio/TuneConfig.h"
#include "framework/core/DocMap.h"
#include "framework/core/GuiObject.h"
#include "framework/core/Registration.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

using MusicTest::ConfigFile;
using MusicTest::DataFile;

namespace {

class PopulatorTestEntry : public Vabo::GuiObject {
public:
    explicit PopulatorTestEntry(TiXmlElement* element)
        : GuiObject(element, 0, 0)
    {
    }
};

Vabo::RegisterClass<PopulatorTestEntry> entryClass("PopulatorTestEntry", "", [](TiXmlElement* element) {
    return new PopulatorTestEntry(element);
});

// Where each entry was placed: its name, index and the count of entries.
using Placed = std::vector<std::tuple<std::string, int, int>>;

struct Box {
    Placed placed;
    void AddEntry(std::shared_ptr<Vabo::GuiObject> entry, int index, int count)
    {
        placed.emplace_back(entry->GetName(), index, count);
    }
};

} // namespace

TEST(ComboPopulator, MakesOneNamedEntryPerNameInOrder)
{
    ConfigFile file("Tuning.xml");
    TuneConfig config(file.Root());
    ComboPopulator populator;
    config.ForEachInstrumentName(&ComboPopulator::AddEntry, &populator);
    ASSERT_EQ(populator.Count(), 3);
    EXPECT_EQ(populator.GetNames().front(), "Guitar");

    Box box;
    populator.ForEachEntry(DataFile("ComboEntry.xml"), &Box::AddEntry, &box, populator.Count());
    EXPECT_EQ(box.placed, (Placed{{"Guitar", 0, 3}, {"Bass", 1, 3}, {"guitar", 2, 3}}));
    EXPECT_EQ(populator.GetEntries().size(), 3u);

    populator.ForEachEntry(DataFile("ComboEntry.xml"), &Box::AddEntry, &box, populator.Count());
    EXPECT_EQ(populator.GetEntries().size(), 6u) << "every run makes new entries";
}

TEST(ComboPopulator, ClearForgetsEntriesAndTheirDocumentsAndEntriesThatCannotBeMadeAreLogged)
{
    const size_t before = DllDocMapInstance().GetDocuments().size();
    ComboPopulator populator;
    populator.AddEntry("MIC");
    populator.AddEntry("LINE");
    Box box;
    populator.ForEachEntry(DataFile("ComboEntry.xml"), &Box::AddEntry, &box, 2);
    EXPECT_EQ(DllDocMapInstance().GetDocuments().size(), before + 2);
    std::weak_ptr<Vabo::GuiObject> first = populator.GetEntries().front();

    populator.Clear();
    EXPECT_EQ(populator.Count(), 0);
    EXPECT_TRUE(populator.GetEntries().empty());
    EXPECT_TRUE(first.expired());
    EXPECT_EQ(DllDocMapInstance().GetDocuments().size(), before);

    // Entries that cannot be made are skipped and logged.
    Platform::LogCapture log;
    populator.AddEntry("A");
    populator.AddEntry("B");
    box.placed.clear();
    populator.ForEachEntry(DataFile("UnknownEntry.xml"), &Box::AddEntry, &box, 2);
    populator.ForEachEntry(DataFile("Missing.xml"), &Box::AddEntry, &box, 2);
    EXPECT_TRUE(box.placed.empty());
    EXPECT_TRUE(populator.GetEntries().empty());
    EXPECT_TRUE(log.Contains("NoSuchEntryType"));
    EXPECT_TRUE(log.Contains("Missing.xml"));
    populator.Clear();

    // A list that goes uncleared, with the screen that filled it, takes its
    // documents with it; an entry held elsewhere keeps its own.
    std::shared_ptr<Vabo::GuiObject> kept;
    {
        ComboPopulator gone;
        gone.AddEntry("MIC");
        gone.AddEntry("LINE");
        gone.ForEachEntry(DataFile("ComboEntry.xml"), &Box::AddEntry, &box, 2);
        kept = gone.GetEntries().back();
    }
    EXPECT_EQ(DllDocMapInstance().GetDocuments().size(), before + 1);
    EXPECT_EQ(kept->GetName(), "LINE");
    kept.reset();
    EXPECT_EQ(DllDocMapInstance().GetDocuments().size(), before);
}
