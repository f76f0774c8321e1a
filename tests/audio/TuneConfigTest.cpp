#include "audio/TuneConfig.h"

#include "MusicModelTestSupport.h"
#include "audio/AppState.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using MusicTest::ConfigFile;

namespace {

struct NameList {
    std::vector<std::string> names;
    void AddEntry(const std::string& name) { names.push_back(name); }
};

std::vector<std::string> StyleNames(const Instrument& instrument)
{
    std::vector<std::string> names;
    for (const Style& style : instrument.GetStyles())
        names.push_back(style.GetName());
    return names;
}

// The full configuration document, loaded through the XML core.
class TuningDocument : public ::testing::Test {
protected:
    ConfigFile file{"Tuning.xml"};
    TuneConfig config{file.Root()};
};

} // namespace

TEST_F(TuningDocument, LoadsInstrumentsAndStylesInDocumentOrder)
{
    NameList instruments;
    config.ForEachInstrumentName(&NameList::AddEntry, &instruments);
    EXPECT_EQ(instruments.names, (std::vector<std::string>{"Guitar", "Bass", "guitar"}));

    Instrument guitar;
    ASSERT_TRUE(config.FindInstrument("Guitar", guitar));
    EXPECT_EQ(StyleNames(guitar), (std::vector<std::string>{"Standard", "Drop D", "Open"}));
    Instrument lower;
    ASSERT_TRUE(config.FindInstrument("guitar", lower));
    EXPECT_EQ(StyleNames(lower), (std::vector<std::string>{"Lower case"}));
    Instrument none;
    EXPECT_FALSE(config.FindInstrument("GUITAR", none));
    EXPECT_EQ(none.GetName(), "");

    Style dropD = guitar.GetStyles().front();
    ASSERT_TRUE(guitar.FindStyle("Drop D", dropD));
    ASSERT_EQ(dropD.GetNotes().size(), 6u);
    EXPECT_EQ(dropD.GetNotes()[0].GetName(), "D2");
    EXPECT_EQ(dropD.GetNotes()[0].GetFrequency(), 73.0f);
    EXPECT_EQ(dropD.GetNotes()[1].GetFrequency(), 0.0f) << "a style note may leave out its frequency";
    EXPECT_EQ(dropD.GetNumber(), 0);
    EXPECT_FALSE(guitar.FindStyle("drop d", dropD));
}

TEST_F(TuningDocument, StoresKeepTheFirstOfTwoEntriesAndHearingIsFrequenciesAndLevels)
{
    EXPECT_EQ(config.GetNoteStore().GetNotes().size(), 61u);
    EXPECT_EQ(config.GetNoteStore().GetFrequency("A4"), 440.0f);
    EXPECT_EQ(config.GetNoteStore().GetFrequency("H4"), 0.0f);

    const TransposeStore& transpose = config.GetTransposeStore();
    EXPECT_EQ(transpose.GetShift("B flat"), -2) << "the first of two entries";
    EXPECT_EQ(transpose.GetShift("Capo 2"), 2);
    EXPECT_EQ(transpose.GetShift("Nothing"), 0);
    NameList names;
    config.ForEachTransposeName(&NameList::AddEntry, &names);
    EXPECT_EQ(names.names, (std::vector<std::string>{"Concert", "B flat", "Capo 2", "B flat", "Far"}));

    const SimpleStore<long>& inputs = config.GetInputStore();
    EXPECT_EQ(inputs.GetValue("LINE"), 2);
    EXPECT_EQ(inputs.GetValue("SPDIF"), 0);
    EXPECT_EQ(inputs.FindName(2), "LINE") << "the first of two entries holding the value";
    EXPECT_EQ(inputs.FindName(7), "");

    std::vector<std::pair<float, float>> curve;
    config.VisitPerceivedHearing([&](float hz, float db) { curve.emplace_back(hz, db); });
    EXPECT_EQ(curve, (std::vector<std::pair<float, float>>{{100.0f, 10.0f}, {1000.0f, 0.0f}, {4000.5f, -3.5f}}));
}

TEST_F(TuningDocument, StyleNotesTakeTheirFrequencyFromTheNoteTableAndTranspose)
{
    AppState state;
    state.BuildNotes(config.GetNoteStore());

    std::vector<float> frequencies;
    const auto collect = [&](const Note& note) { frequencies.push_back(config.TransposedFrequency(note, state)); };
    config.VisitStyle("Guitar", "Drop D", collect);
    EXPECT_EQ(frequencies, (std::vector<float>{73.42f, 110.0f, 146.83f, 196.0f, 246.94f, 329.63f}))
        << "the style's own 73.0 Hz is not used";

    frequencies.clear();
    state.SetTransposeShift(2);
    config.VisitStyle("Guitar", "Open", collect);
    EXPECT_EQ(frequencies, (std::vector<float>{293.66f, 0.0f})) << "C4 two entries up is D4; Xx9 has no pitch";

    frequencies.clear();
    state.SetTransposeShift(-2);
    config.VisitStyle("Bass", "Standard", collect);
    EXPECT_EQ(frequencies, (std::vector<float>{36.71f, 49.0f, 65.41f, 87.31f}));

    frequencies.clear();
    config.VisitStyle("Guitar", "Nashville", collect);
    config.VisitStyle("Banjo", "Standard", collect);
    EXPECT_TRUE(frequencies.empty());
}

TEST(TuneConfig, AbsentStoresAreEmpty)
{
    ConfigFile file("Sparse.xml");
    TuneConfig config(file.Root());
    Instrument instrument;
    EXPECT_FALSE(config.FindInstrument("Guitar", instrument));
    EXPECT_TRUE(config.GetNoteStore().GetNotes().empty());
    EXPECT_EQ(config.GetInputStore().GetValue("MIC"), 0);
    EXPECT_EQ(config.GetInputStore().FindName(1), "");
    int visits = 0;
    config.VisitPerceivedHearing([&](float, float) { ++visits; });
    EXPECT_EQ(visits, 0);
    EXPECT_EQ(config.GetTransposeStore().GetShift("Concert"), 0);
}

TEST(TuneConfig, MissingRequiredAttributesAreTheXmlError)
{
    // A word for a perceived-hearing frequency is the XML error too.
    for (const char* name : {"MissingFrequency.xml", "NamelessInstrument.xml", "WordyHearing.xml"}) {
        Platform::LogCapture log;
        ConfigFile file(name);
        EXPECT_THROW(TuneConfig config(file.Root()), XMLLoadSave::XMLLoadSaveException) << name;
        if (std::string(name) != "WordyHearing.xml")
            continue;
        bool named = false;
        for (const std::string& message : log.Messages())
            named = named
                || (message.find("XML Error") != std::string::npos && message.find(name) != std::string::npos
                    && message.find("Name") != std::string::npos);
        EXPECT_TRUE(named) << "the log names the file and the attribute";
    }
}

TEST(TuneConfig, HearingFrequenciesAreCheckedNumbersSoTheCurveKeepsItsOrder)
{
    struct Case {
        const char* name;
        bool accepted;
        float hz;
    };
    for (const Case& c : {Case{"nan", false, 0.0f}, Case{"inf", false, 0.0f}, Case{"-inf", false, 0.0f},
                          Case{"1e39", false, 0.0f}, Case{"-5", false, 0.0f}, Case{"200000", false, 0.0f},
                          Case{"1e3", true, 1000.0f}, Case{"20000", true, 20000.0f}, Case{"0", true, 0.0f}}) {
        SCOPED_TRACE(c.name);
        Platform::LogCapture log;
        TiXmlDocument document;
        document.Parse((std::string("<Config><PerceivedHearing><Data Name=\"100\" Value=\"10\"/><Data Name=\"")
                        + c.name + "\" Value=\"3\"/></PerceivedHearing></Config>")
                           .c_str());
        if (!c.accepted) {
            EXPECT_THROW(TuneConfig config(document.RootElement()), XMLLoadSave::XMLLoadSaveException);
            EXPECT_TRUE(log.Contains("Name")) << "the log names the attribute";
            continue;
        }
        TuneConfig config(document.RootElement());
        std::vector<std::pair<float, float>> curve;
        config.VisitPerceivedHearing([&](float hz, float db) { curve.emplace_back(hz, db); });
        EXPECT_EQ(curve, (std::vector<std::pair<float, float>>{{100.0f, 10.0f}, {c.hz, 3.0f}}));
    }
}
