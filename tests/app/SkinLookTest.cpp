// The real skin at the window's smallest, start and large sizes: every label
// of both screens holds its text, the strips' captions stay legible whichever
// button is focused, and the lamps grow with the window.
#include "AppTestSupport.h"
#include "app/MetronomeLayout.h"
#include "app/TunerLayout.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/drawing/Font.h"
#include "framework/widgets/LargeFocusContainer.h"
#include "framework/widgets/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

class SkinLook : public AppTest::ScreenFixture {
protected:
    void Open(int width, int height)
    {
        window_ = AppTest::OpenMainWindow(loader_);
        window_->SetSize(width, height);
        window_->UpdateLayout();
        AppTest::Pump(50);
    }

    Vabo::GuiObject* Screen(const char* name) { return Vabo::GetXMLObject<Vabo::GuiObject>(window_.get(), name); }

    static void Labels(Vabo::GuiObject& object, std::vector<Vabo::Text*>& labels)
    {
        if (auto* text = dynamic_cast<Vabo::Text*>(&object))
            labels.push_back(text);
        for (Vabo::GuiObject* child : object.GetChildren())
            Labels(*child, labels);
    }

    // Labels that show a text: a label without room draws nothing on purpose.
    std::vector<Vabo::Text*> Shown(Vabo::GuiObject& root)
    {
        std::vector<Vabo::Text*> all, shown;
        Labels(root, all);
        for (Vabo::Text* text : all)
            if (text->IsVisibleInTree() && !text->GetText().empty() && text->GetWidth() > 0 && text->GetHeight() > 0)
                shown.push_back(text);
        return shown;
    }

    static void ExpectTextInItsBox(Vabo::Text& label, const std::string& where)
    {
        const Vabo::Rect box = label.GetFont()->MeasureRange(label.GetText(), -1, -1, -1.0f);
        EXPECT_LE(box.width, label.GetWidth()) << where << ": \"" << label.GetText() << "\" is too wide";
        EXPECT_LE(box.height, label.GetHeight() + 1) << where << ": \"" << label.GetText() << "\" is too tall";
    }

    // Focuses each object of a strip in turn and checks every caption, with
    // the arrangement finished, at 11 pixels or more and inside its button.
    void ExpectLegibleStrip(const char* screen, const char* strip)
    {
        auto* container = Vabo::GetXMLObject<Vabo::LargeFocusContainer>(Screen(screen), strip);
        ASSERT_NE(nullptr, container) << strip;
        ASSERT_FALSE(container->GetWrappers().empty()) << strip;
        for (const auto& focused : container->GetWrappers()) {
            container->SetFocusObject(focused->GetObject());
            AppTest::Pump(400);
            for (const auto& wrapper : container->GetWrappers())
                for (Vabo::Text* caption : Shown(*wrapper->GetObject())) {
                    const std::string where = std::string(strip) + " focused on " + focused->GetObject()->GetName();
                    EXPECT_GE(caption->GetFont()->GetPixelSize(), 11.0f) << where << ": " << caption->GetText();
                    ExpectTextInItsBox(*caption, where);
                }
        }
    }
};

} // namespace

TEST_F(SkinLook, EveryLabelOfBothScreensHoldsItsTextAtEverySize)
{
    const struct {
        int width, height;
    } sizes[] = {{640, 400}, {800, 500}, {1600, 1000}};
    for (const auto& size : sizes) {
        Open(size.width, size.height);
        for (const char* screen : {"TunerLayout", "MetronomeLayout"}) {
            Vabo::GuiObject* root = Screen(screen);
            ASSERT_NE(nullptr, root);
            root->SetVisible(true);
            AppTest::Pump(50);
            for (Vabo::Text* label : Shown(*root))
                ExpectTextInItsBox(*label, std::string(screen) + " at " + std::to_string(size.width));
            root->SetVisible(false);
        }
        window_.reset();
    }
}

TEST_F(SkinLook, StripCaptionsAreElevenPixelsOrMoreAt800x500WhicheverButtonIsFocused)
{
    Open(800, 500);
    ExpectLegibleStrip("TunerLayout", "NoteContainer");
    Screen("TunerLayout")->SetVisible(false);
    Screen("MetronomeLayout")->SetVisible(true);
    ExpectLegibleStrip("MetronomeLayout", "PresetContainer");
}

TEST_F(SkinLook, TheLampsGrowWithTheWindow)
{
    // A twentieth of the window's width, square: 32 pixels at 640 x 400, 80
    // at 1600 x 1000 (their pictures scale with them, see PowerLightTest).
    const struct {
        int width, height, lamp;
    } sizes[] = {{640, 400, 32}, {800, 500, 40}, {1600, 1000, 80}};
    for (const auto& size : sizes) {
        Open(size.width, size.height);
        for (const auto& [screen, name] : {std::pair{"TunerLayout", "PowerLightVis"}, {"MetronomeLayout", "BeatLightVis"}}) {
            Vabo::GuiObject* lamp = Vabo::GetXMLObject<Vabo::GuiObject>(Screen(screen), name);
            ASSERT_NE(nullptr, lamp) << name;
            EXPECT_EQ(size.lamp, lamp->GetWidth()) << name << " at " << size.width;
            EXPECT_EQ(size.lamp, lamp->GetHeight()) << name << " at " << size.width;
        }
        window_.reset();
    }
}

TEST_F(SkinLook, TheLongestReadingsKeepAMarginInsideTheReadout)
{
    // The readout's window is the box of the frequency label; the loss
    // message is the longest text it shows.
    for (const auto& [width, height] : {std::pair{640, 400}, {800, 500}, {1600, 1000}}) {
        Open(width, height);
        auto* reading = Vabo::GetXMLObject<Vabo::Text>(Screen("TunerLayout"), "VisFreq");
        ASSERT_NE(nullptr, reading);
        for (const char* text : {"SOUND INPUT LOST", "6645.00 Hz"}) {
            reading->SetText(text);
            const Vabo::Rect box = reading->GetFont()->MeasureRange(text, -1, -1, -1.0f);
            EXPECT_LE(box.width + 2 * reading->GetWidth() / 20, reading->GetWidth())
                << "\"" << text << "\" at " << width << ": " << box.width << " of " << reading->GetWidth();
        }
        window_.reset();
    }
}
