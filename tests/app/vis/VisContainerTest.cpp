// Containers of displays: which display a new one shows (the stored choice
// when it names one), cycling on clicks, the choice kept at destruction,
// resizing every display, drawing only the shown one in the container's
// rectangle, and the skin's types created by name.
#include "app/SettingsStore.h"
#include "app/vis/MetronomeSampleVis.h"
#include "app/vis/SampleVis.h"
#include "app/vis/TuneVis.h"

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/InputSignals.h"

#include "support/FakeScreenManager.h"
#include "tests/app/vis/VisTestSupport.h"
#include "tests/framework/core/objects/RegistryCoverage.h"
#include "tests/framework/drawing/PixelExpect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

using GdiplusGfxLayer::Color;
using VisTest::Block;
using VisTest::Canvas;
using VisTest::Value;

namespace {

// A display type made by name as the skin makes it: from its own skin file,
// since the types name no default file.
std::shared_ptr<Vabo::GuiObject> CreateFromSkinFile(const std::string& type, XMLLoadSave& loader,
                                                    TiXmlDocument& document)
{
    return ObjectsTest::CreateByName(type, loader, document,
                                     {{type, "<" + type + " BaseXML=\"XML/Main/Vis/" + type + ".xml\"/>"}});
}

class VisContainerTest : public VisTest::SkinFixture {
protected:
    std::unique_ptr<TuneVis> NewTuneVis()
    {
        return std::make_unique<TuneVis>(Skin("TuneVis.xml"), measured_.Source(), desired_.Source());
    }

    // A press and a release on the object, as the screen manager delivers them.
    static void Click(Vabo::GuiObject& object)
    {
        Vabo::Signal::LeftButtonDown press(object.GetX() + 1, object.GetY() + 1);
        Vabo::Signal::LeftButtonUp release(object.GetX() + 1, object.GetY() + 1);
        object.OnLeftButtonDown(&press, &object);
        object.OnLeftButtonUp(&release, &object);
    }

    VisTest::SettingsFolder settings_;
    Value measured_;
    Value desired_;
};

} // namespace

TEST_F(VisContainerTest, StartsOnTheStoredDisplayWhenItNamesOneAndKeepsTheChoice)
{
    {
        auto vis = NewTuneVis();
        EXPECT_EQ("TuneVis", vis->GetTypeName());
        EXPECT_EQ(6u, vis->DisplayCount());
        EXPECT_EQ(0, vis->ShownIndex());
        EXPECT_NE(nullptr, vis->Fret());
    }
    SettingsStore& store = SettingsStore::Instance();
    EXPECT_EQ(0, store.Get<int>("TuneVis", -1));

    store.Set<int>("TuneVis", 2);
    {
        auto vis = NewTuneVis();
        EXPECT_EQ(vis->Display(2), vis->Shown());
        EXPECT_NE(nullptr, dynamic_cast<SlidingMeterVis*>(vis->Shown()));
        vis->NextChildSlot(nullptr, nullptr);
    }
    EXPECT_EQ(3, store.Get<int>("TuneVis", -1));

    // Out of range, negative or not a number: the first display.
    for (const char* stored : {"7", "6", "-3", "two", ""}) {
        store.Set<std::string>("TuneVis", stored);
        EXPECT_EQ(0, NewTuneVis()->ShownIndex()) << stored;
    }
}

TEST_F(VisContainerTest, ClicksCycleThroughTheDisplaysAndWrap)
{
    Block samples, spectrum;
    SampleVis vis(Skin("SampleVis.xml"), samples.Source(), spectrum.Source());
    EXPECT_EQ("SampleVis", vis.GetTypeName());
    FakeScreenManager screens;
    vis.SetScreenManager(&screens);
    vis.SetPosition(0, 0);
    vis.SetSize(240, 72);
    ASSERT_EQ(5u, vis.DisplayCount());
    std::vector<int> shown;
    for (int click = 0; click < 6; ++click) {
        Click(vis);
        shown.push_back(vis.ShownIndex());
    }
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 0, 1}), shown);
}

TEST_F(VisContainerTest, EveryDisplayTakesTheSizeAndOnlyTheShownOneDrawsInTheRectangle)
{
    desired_.value = 440.0f;
    measured_.value = 440.0f;
    auto vis = NewTuneVis();
    vis->SetPosition(20, 10);
    vis->SetSize(300, 150);
    for (std::size_t i = 0; i < vis->DisplayCount(); ++i) {
        EXPECT_EQ(300, vis->Display(i)->GetWidth()) << i;
        EXPECT_EQ(150, vis->Display(i)->GetHeight()) << i;
    }
    for (std::size_t i = 0; i < vis->DisplayCount(); ++i) {
        Canvas canvas(340, 170);
        vis->Render(canvas.painter);
        const int inside = VisTest::InkedPixels(canvas.image, {20, 10, 300, 150});
        const int all = VisTest::InkedPixels(canvas.image, {0, 0, 340, 170});
        EXPECT_EQ(all, inside) << i;
        if (vis->Shown() == vis->Display(5))
            EXPECT_EQ(0, all);
        else
            EXPECT_GT(inside, 500) << i;
        vis->NextChildSlot(nullptr, nullptr);
    }

    // Drawn at a size of 0 before the first layout, nothing is drawn.
    auto fresh = NewTuneVis();
    Canvas canvas(40, 40);
    fresh->Render(canvas.painter);
    EXPECT_EQ(0, VisTest::InkedPixels(canvas.image, {0, 0, 40, 40}));
    Block samples, spectrum;
    SampleVis sample(Skin("SampleVis.xml"), samples.Source(), spectrum.Source());
    for (int i = 0; i < 5; ++i) {
        sample.Render(canvas.painter);
        sample.NextChildSlot(nullptr, nullptr);
    }
    EXPECT_EQ(0, VisTest::InkedPixels(canvas.image, {0, 0, 40, 40}));
}

TEST_F(VisContainerTest, FretConfigurationIsOptionalButCheckedWhenPresent)
{
    TuneVis vis(Case("TuneVisWithoutFret"), measured_.Source(), desired_.Source());
    EXPECT_EQ(nullptr, vis.Fret());
    EXPECT_THROW(FretVis(Case("FretWithoutFont"), desired_.Source()), XMLLoadSave::XMLLoadSaveException);

    // The fret display draws its middle line in the "Analog" colour.
    FretVis fret(Child(Skin("TuneVis.xml"), "Fret"), desired_.Source());
    Canvas canvas(50, 20);
    fret.Draw(canvas.painter, 0, 0, 50, 20);
    EXPECT_TRUE(PixelNear(canvas.image, 25, 10, Color(255, 154, 164, 177), 0));
    EXPECT_EQ(0, canvas.image.GetPixel(25, 5).GetAlpha());
}

TEST_F(VisContainerTest, FretsSpreadOverTheirRangeWithAlternateLabelsAndTheValueMarker)
{
    FretVis fret(Child(Skin("TuneVis.xml"), "Fret"), desired_.Source());
    const Color analog(255, 154, 164, 177), main(255, 56, 189, 248);
    const auto clear = [](const Canvas& canvas, int x, int y) { return canvas.image.GetPixel(x, y).GetAlpha() == 0; };
    fret.SetFrets({{0.0f, "X"}, {-5.0f, "Y"}, {100.0f, "A2"}, {200.0f, "B3"}, {300.0f, "C4"}});
    EXPECT_EQ(3u, fret.Frets().size()) << "what cannot be placed marks no fret";

    // 80..320 Hz over 200 pixels: frets at 17, 100 and 183, bars 2 wide left
    // of them over rows 20..39; the marker 4 wide over rows 15..44, held
    // inside the display.
    const std::pair<float, int> markers[] = {{250.0f, 140}, {10.0f, -2}, {NAN, -2}, {1e30f, 198}};
    for (const auto& [value, left] : markers) {
        desired_.value = value;
        Canvas canvas(200, 60);
        fret.Draw(canvas.painter, 0, 0, 200, 60);
        for (int x : {15, 16, 98, 99, 181, 182})
            EXPECT_TRUE(PixelNear(canvas.image, x, 22, analog, 0)) << x;
        for (int x : {14, 17, 97, 100, 180, 183})
            EXPECT_TRUE(clear(canvas, x, 22)) << x;
        for (int x = std::max(0, left); x < std::min(200, left + 4); ++x)
            for (int y : {15, 44})
                EXPECT_TRUE(PixelNear(canvas.image, x, y, main, 0)) << value << " at " << x << "," << y;
        for (int x : {left - 1, left + 4})
            EXPECT_TRUE(x < 0 || x >= 200 || clear(canvas, x, 17)) << value << " at " << x;
        EXPECT_TRUE(clear(canvas, std::max(0, left + 1), 14));
        EXPECT_TRUE(clear(canvas, std::max(0, left + 1), 45));
        if (left != 140)
            continue;
        // Labels alternate, above the bars first.
        EXPECT_GT(VisTest::InkedPixels(canvas.image, {0, 0, 40, 20}), 10);
        EXPECT_EQ(0, VisTest::InkedPixels(canvas.image, {0, 40, 40, 20}));
        EXPECT_EQ(0, VisTest::InkedPixels(canvas.image, {80, 0, 40, 20}));
        EXPECT_GT(VisTest::InkedPixels(canvas.image, {80, 40, 40, 20}), 10);
        EXPECT_GT(VisTest::InkedPixels(canvas.image, {160, 0, 40, 20}), 10);
    }

    // A single fret stands in the middle; narrow displays draw 1-pixel bars
    // and markers.
    fret.SetFrets({{440.0f, "A4"}});
    desired_.value = 440.0f;
    Canvas narrow(20, 60);
    fret.Draw(narrow.painter, 0, 0, 20, 60);
    EXPECT_TRUE(PixelNear(narrow.image, 9, 22, analog, 0));
    EXPECT_TRUE(PixelNear(narrow.image, 10, 22, main, 0));
    EXPECT_TRUE(clear(narrow, 8, 22));
    EXPECT_TRUE(clear(narrow, 11, 22));
}

TEST_F(VisContainerTest, SkinTypesAreCreatedByNameFromTheirSkinDocuments)
{
    XMLLoadSave loader;
    TiXmlDocument document("vis-registry.xml");
    for (const char* type : {"TuneVis", "SampleVis", "ThresholdVis", "PowerLightVis", "MetronomeVis", "BeatLightVis",
                             "MetronomeSampleVis"}) {
        EXPECT_EQ("", DllDocMapInstance().GetDefaultBaseXML(type)) << "the skin names every base file itself";
        auto object = CreateFromSkinFile(type, loader, document);
        ASSERT_TRUE(object) << type;
        EXPECT_EQ(type, object->GetTypeName());
    }
}

TEST_F(VisContainerTest, EachInputDisplayIsItsOwnClassAndKeepsItsChoiceUnderItsOwnKey)
{
    XMLLoadSave loader;
    TiXmlDocument document("vis-input.xml");
    SettingsStore& store = SettingsStore::Instance();
    // The tuner's choice is where the metronome's starts until it has its own.
    store.Set<int>("SampleVis", 1);
    const struct {
        const char* type;
        bool metronome;
        int shown, clicks, kept;
    } cases[] = {
        {"SampleVis", false, 1, 1, 2},
        {"MetronomeSampleVis", true, 2, 2, 4},
        {"SampleVis", false, 2, 0, 2},
        {"MetronomeSampleVis", true, 4, 2, 1},
    };
    for (const auto& c : cases) {
        {
            auto object = CreateFromSkinFile(c.type, loader, document);
            auto* vis = dynamic_cast<SampleVis*>(object.get());
            ASSERT_NE(nullptr, vis) << c.type;
            EXPECT_EQ(c.metronome, dynamic_cast<MetronomeSampleVis*>(vis) != nullptr) << c.type;
            EXPECT_EQ(c.shown, vis->ShownIndex()) << c.type;
            for (int i = 0; i < c.clicks; ++i)
                vis->NextChildSlot(nullptr, nullptr);
        }
        EXPECT_EQ(c.kept, store.Get<int>(c.type, -1)) << c.type;
    }
    EXPECT_EQ(2, store.Get<int>("SampleVis", -1)) << "the metronome's display leaves the tuner's choice alone";
}
