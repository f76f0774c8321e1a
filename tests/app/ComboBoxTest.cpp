// The drop-down list from a test window and the skin's entry document:
// entries stacked in equal bands in the populator's order, the height fitted
// to the children on every pop-up, entries that cannot be made left out, and
// entries that die leave the list.
#include "app/ComboBox.h"

#include "AppTestSupport.h"
#include "audio/ComboPopulator.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/host/AppWindow.h"
#include "framework/widgets/Text.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace {

class ComboBoxTest : public AppTest::SkinFixture {
protected:
    void SetUp() override
    {
        AppTest::SkinFixture::SetUp();
        TiXmlElement* element = skin_.LoadXML("tests/data/app/ComboOwner.xml");
        ASSERT_NE(nullptr, element);
        owner_ = std::make_unique<Vabo::AppWindow>(element);
        owner_->SetVisible(true);
        combo_ = Vabo::GetXMLObject<ComboBox>(owner_.get(), "List");
        ASSERT_NE(nullptr, combo_);
    }

    XMLLoadSave skin_;
    std::unique_ptr<Vabo::AppWindow> owner_;
    ComboBox* combo_ = nullptr;
};

} // namespace

TEST_F(ComboBoxTest, EntriesFillEqualBandsInOrderAndPoppingUpFitsTheHeight)
{
    EXPECT_EQ("XML/Main/ComboEntry.xml", combo_->GetObjectXML());
    EXPECT_FLOAT_EQ(0.1f, combo_->GetEntryHeight());
    ComboPopulator populator;
    for (const char* name : {"GUITAR", "BASS", "UKULELE"})
        populator.AddEntry(name);
    combo_->Populate(populator);
    ASSERT_EQ(4u, combo_->GetChildren().size());

    // 0.3 and 0.1 of the 400 x 300 window.
    ASSERT_EQ(120, combo_->GetWidth());
    ASSERT_EQ(30, combo_->GetHeight());
    const char* names[] = {"GUITAR", "BASS", "UKULELE"};
    for (int i = 0; i < 3; ++i) {
        Vabo::GuiObject* entry = populator.GetEntries().at(std::size_t(i)).get();
        EXPECT_EQ(names[i], entry->GetName());
        EXPECT_EQ(combo_, entry->GetParent());
        EXPECT_EQ(i * 10, entry->GetY()) << names[i];
        EXPECT_EQ(10, entry->GetHeight()) << names[i];
        EXPECT_EQ(0, entry->GetX()) << names[i];
        EXPECT_EQ(120, entry->GetWidth()) << names[i];
        auto* caption = Vabo::GetXMLObject<Vabo::Text>(entry, "Caption");
        ASSERT_NE(nullptr, caption);
        EXPECT_EQ(names[i], caption->GetText());
    }

    // Three entries and the background, 0.1 of the window each.
    combo_->Popup();
    EXPECT_TRUE(AppTest::PumpUntil([&] { return combo_->IsVisible(); }));
    EXPECT_EQ(120, combo_->GetHeight());
    EXPECT_EQ(120, combo_->GetWidth());
    EXPECT_EQ(40, populator.GetEntries().at(1)->GetY());
    combo_->Popup();
    EXPECT_FALSE(combo_->IsVisible());
    EXPECT_EQ(120, combo_->GetHeight());

    // Entries that die leave the list.
    populator.Clear();
    EXPECT_EQ(1u, combo_->GetChildren().size());
}

TEST_F(ComboBoxTest, EntriesThatCannotBeMadeAreLeftOut)
{
    TiXmlElement* element = combo_->GetXmlElement();
    element->SetAttribute("ObjectXML", "tests/data/app/BrokenEntry.xml");
    ComboBox broken(element);
    ComboPopulator populator;
    populator.AddEntry("A");
    populator.AddEntry("B");
    broken.Populate(populator);
    EXPECT_EQ(1u, broken.GetChildren().size());
    EXPECT_TRUE(populator.GetEntries().empty());

    // An empty list pops up one entry high: just its background.
    ComboPopulator none;
    combo_->Populate(none);
    combo_->Popup();
    EXPECT_EQ(30, combo_->GetHeight());
}

TEST_F(ComboBoxTest, AListWithoutItsAttributesOrBackgroundIsNotBuilt)
{
    for (const char* missing : {"ObjectXML", "EntryHeight"}) {
        TiXmlElement copy(*combo_->GetXmlElement());
        copy.RemoveAttribute(missing);
        EXPECT_THROW(ComboBox{&copy}, XMLLoadSave::XMLLoadSaveException) << missing;
    }
    TiXmlElement copy(*combo_->GetXmlElement());
    copy.RemoveChild(copy.FirstChildElement("Vabo::Image"));
    EXPECT_THROW(ComboBox{&copy}, XMLLoadSave::XMLLoadSaveException);
}

TEST_F(ComboBoxTest, UpAndDownWalkEveryEntryWithOneMarkedAtATime)
{
    ComboPopulator populator;
    const std::vector<std::string> names = {"GUITAR", "BASS",    "VIOLIN",   "VIOLA",
                                            "CELLO",  "UKULELE", "MANDOLIN", "BANJO"};
    for (const std::string& name : names)
        populator.AddEntry(name);
    combo_->Populate(populator);
    combo_->Popup();
    ASSERT_TRUE(AppTest::PumpUntil([&] { return combo_->IsVisible(); }));
    // The entries whose caption shows the selected colour.
    const auto marked = [&] {
        std::vector<std::string> shown;
        for (const auto& entry : populator.GetEntries())
            if (Vabo::GetXMLObject<Vabo::Text>(entry.get(), "Caption")->IsSelected())
                shown.push_back(entry->GetName());
        return shown;
    };
    const std::uint32_t id = combo_->GetHostWnd()->GetNativeWindow()->Id();
    const auto press = [&](SDL_Keycode key) {
        TestSupport::PushKey(id, key);
        AppTest::Pump(40);
        return marked();
    };
    EXPECT_EQ(std::vector<std::string>{"GUITAR"}, marked());
    for (std::size_t i = 1; i < names.size(); ++i)
        EXPECT_EQ(std::vector<std::string>{names[i]}, press(SDLK_DOWN));
    EXPECT_EQ(std::vector<std::string>{"BANJO"}, press(SDLK_DOWN)) << "the last entry stays";
    for (std::size_t i = names.size() - 1; i-- > 0;)
        EXPECT_EQ(std::vector<std::string>{names[i]}, press(SDLK_UP));
}
