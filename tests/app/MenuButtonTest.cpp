// The captioned choice buttons from a test window: their own name as the
// first caption, captions set and read, the pointer's highlight mirrored onto
// both children, the focus button's caption size following its height, each
// class listening only to its own start signal, and skins missing parts.
#include "app/ComboMenuButton.h"
#include "app/FocusMenuButton.h"
#include "app/MenuButton.h"

#include "AppTestSupport.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/host/AppWindow.h"
#include "framework/widgets/ImageButton.h"
#include "framework/widgets/Text.h"
#include "platform/Log.h"
#include "support/SdlEvents.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace {

class MenuButtonTest : public AppTest::SkinFixture {
protected:
    void SetUp() override
    {
        AppTest::SkinFixture::SetUp();
        TiXmlElement* element = skin_.LoadXML("tests/data/app/MenuButtons.xml");
        ASSERT_NE(nullptr, element);
        window_ = std::make_unique<Vabo::AppWindow>(element);
        window_->SetVisible(true);
        AppTest::Pump(50);
    }

    template <class T = Vabo::GuiObject> T* Find(Vabo::GuiObject* start, const std::string& path)
    {
        return Vabo::GetXMLObject<T>(start, path);
    }

    // The three captions of a button, pressed, rest and mouse-over.
    std::vector<std::string> Captions(Vabo::GuiObject* button)
    {
        auto* text = Find<Vabo::ImageButton>(button, "ButtonText");
        std::vector<std::string> captions;
        for (Vabo::GuiObject* face : {text->GetSelectedFace(), text->GetUnSelectedFace(), text->GetMouseOverFace()})
            captions.push_back(static_cast<Vabo::Text*>(face)->GetText());
        return captions;
    }

    void MovePointer(int x, int y) { TestSupport::PushMotion(window_->GetHostWnd()->GetNativeWindow()->Id(), x, y); }

    Platform::LogCapture log_;
    XMLLoadSave skin_;
    std::unique_ptr<Vabo::AppWindow> window_;
};

} // namespace

TEST_F(MenuButtonTest, ShowsItsNameUntilACaptionIsSet)
{
    auto* inst = Find<MenuButton>(window_.get(), "INST");
    auto* style = Find<ComboMenuButton>(window_.get(), "STYLE");
    auto* focus = Find<FocusMenuButton>(window_.get(), "E");
    ASSERT_TRUE(inst && style && focus);
    EXPECT_EQ((std::vector<std::string>{"INST", "INST", "INST"}), Captions(inst));
    EXPECT_EQ((std::vector<std::string>{"STYLE", "STYLE", "STYLE"}), Captions(style));
    EXPECT_EQ("E", focus->GetButtonText());

    inst->SetButtonText("GUITAR");
    EXPECT_EQ("GUITAR", inst->GetButtonText());
    EXPECT_EQ((std::vector<std::string>{"GUITAR", "GUITAR", "GUITAR"}), Captions(inst));
}

TEST_F(MenuButtonTest, ThePointersHighlightReachesBothChildren)
{
    auto* inst = Find<MenuButton>(window_.get(), "INST");
    ASSERT_NE(nullptr, inst);
    Vabo::GuiObject* button = Find(inst, "Button");
    Vabo::GuiObject* text = Find(inst, "ButtonText");
    MovePointer(inst->GetWindowX() + 10, inst->GetWindowY() + 5);
    EXPECT_TRUE(AppTest::PumpUntil([&] { return inst->IsSelected(); }));
    EXPECT_TRUE(button->IsSelected());
    EXPECT_TRUE(text->IsSelected());

    MovePointer(5, 190);
    EXPECT_TRUE(AppTest::PumpUntil([&] { return !inst->IsSelected(); }));
    EXPECT_FALSE(button->IsSelected());
    EXPECT_FALSE(text->IsSelected());
}

TEST_F(MenuButtonTest, TheFocusButtonsCaptionFollowsItsHeight)
{
    auto* focus = Find<FocusMenuButton>(window_.get(), "E");
    ASSERT_NE(nullptr, focus);
    // A tenth of the 200-pixel window: captions of nominal size 3.
    EXPECT_TRUE(focus->SetSize(100, 20));
    auto* text = Find<Vabo::ImageButton>(focus, "ButtonText");
    for (Vabo::GuiObject* face : {text->GetSelectedFace(), text->GetUnSelectedFace(), text->GetMouseOverFace()})
        EXPECT_FLOAT_EQ(3.0f, static_cast<Vabo::Text*>(face)->GetFont()->GetSize());
    EXPECT_EQ(20, focus->GetHeight());

    // Without a root object nothing is resized.
    TiXmlDocument document;
    auto* element = new TiXmlElement("FocusMenuButton");
    document.LinkEndChild(element);
    FocusMenuButton loose(element);
    const int height = loose.GetHeight();
    EXPECT_FALSE(loose.SetSize(100, height + 7));
    EXPECT_EQ(height, loose.GetHeight());
}

TEST_F(MenuButtonTest, EachClassListensOnlyToItsOwnStartSignal)
{
    auto* style = Find<ComboMenuButton>(window_.get(), "STYLE");
    auto* inst = Find<MenuButton>(window_.get(), "INST");
    ASSERT_TRUE(style && inst);
    using Vabo::Signal::TypeIdOf;
    EXPECT_TRUE(style->HasConnections(TypeIdOf<ComboMenuButton::SignalStartAnimation>()));
    EXPECT_FALSE(style->HasConnections(TypeIdOf<MenuButton::SignalStartAnimation>()));
    EXPECT_TRUE(inst->HasConnections(TypeIdOf<MenuButton::SignalStartAnimation>()));
    EXPECT_FALSE(inst->HasConnections(TypeIdOf<FocusMenuButton::SignalStartAnimation>()));
    EXPECT_NE(TypeIdOf<MenuButton::SignalStartAnimation>(), TypeIdOf<FocusMenuButton::SignalStartAnimation>());
}

TEST_F(MenuButtonTest, MissingPartsAreSkippedAndNamed)
{
    auto* bare = Find<MenuButton>(window_.get(), "Bare");
    auto* pictures = Find<MenuButton>(window_.get(), "Pictures");
    ASSERT_TRUE(bare && pictures);
    EXPECT_TRUE(log_.Contains("\"Bare\" has no child \"ButtonText\""));
    EXPECT_TRUE(log_.Contains("a state of \"Pictures->ButtonText\" is not a text label"));
    bare->SetButtonText("X");
    EXPECT_EQ("", bare->GetButtonText());
    EXPECT_EQ("", pictures->GetButtonText());

    MovePointer(pictures->GetWindowX() + 10, pictures->GetWindowY() + 5);
    EXPECT_TRUE(AppTest::PumpUntil([&] { return pictures->IsSelected(); }));
    EXPECT_TRUE(log_.Contains("\"Pictures\" has no child \"Button\""));
}
