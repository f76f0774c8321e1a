// Start-up: the sound-card question repeated while the user retries, the
// skin's message box answering the button clicked, and every application
// class, slot and signal creatable by name.
#include "app/TunerApp.h"
#include "app/TunerLayout.h"

#include "AppTestSupport.h"
#include "app/ShowMessageBox.h"
#include "framework/core/objects/RegistryCoverage.h"
#include "platform/EventTranslation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using Sound = TunerApp::Sound;

struct Script {
    Script(std::vector<Sound> checks, std::vector<std::string> answers)
        : checks(std::move(checks))
        , answers(std::move(answers))
    {
    }

    std::vector<Sound> checks; // what each check finds, in turn
    std::vector<std::string> answers; // what the user answers, in turn
    std::vector<bool> again; // what each check was asked
    std::vector<std::string> questions;

    Sound Run()
    {
        return TunerApp::WaitForSoundCard(
            [this](bool retry) {
                again.push_back(retry);
                return checks.at(again.size() - 1);
            },
            [this](const std::string& text, const std::string& buttons) {
                questions.push_back(text + " | " + buttons);
                return answers.at(questions.size() - 1);
            });
    }
};

const std::string Question = "CRITICAL PROBLEM: No sound card has been detected! | RETRY, CANCEL";
const std::string ServerQuestion = "CRITICAL PROBLEM: The sound server does not answer! | RETRY, CANCEL";

} // namespace

TEST(TunerAppStart, AsksAgainWhileTheUserRetriesAndTheCardIsMissing)
{
    Script present{{Sound::Present}, {}};
    EXPECT_EQ(Sound::Present, present.Run());
    EXPECT_TRUE(present.questions.empty());
    EXPECT_EQ(std::vector<bool>{false}, present.again);

    Script later{{Sound::NoCard, Sound::NoCard, Sound::Present}, {"RETRY", "RETRY"}};
    EXPECT_EQ(Sound::Present, later.Run());
    EXPECT_EQ((std::vector<std::string>{Question, Question}), later.questions);
    EXPECT_EQ((std::vector<bool>{false, true, true}), later.again);

    for (const char* answer : {"CANCEL", "", "retry", " RETRY"}) {
        Script giveUp{{Sound::NoCard, Sound::Present}, {answer}};
        EXPECT_EQ(Sound::NoCard, giveUp.Run()) << answer;
        EXPECT_EQ(1u, giveUp.questions.size()) << answer;
    }
}

// Each question says what the check found missing at that moment.
TEST(TunerAppStart, ASilentSoundServerIsToldAsSuchAndNotAsAMissingCard)
{
    Script later{{Sound::ServerSilent, Sound::NoCard, Sound::ServerSilent, Sound::Present},
                 {"RETRY", "RETRY", "RETRY"}};
    EXPECT_EQ(Sound::Present, later.Run());
    EXPECT_EQ((std::vector<std::string>{ServerQuestion, Question, ServerQuestion}), later.questions);
    EXPECT_EQ((std::vector<bool>{false, true, true, true}), later.again);

    Script giveUp{{Sound::ServerSilent}, {"CANCEL"}};
    EXPECT_EQ(Sound::ServerSilent, giveUp.Run());
    EXPECT_EQ(std::vector<std::string>{ServerQuestion}, giveUp.questions);
}

class SkinMessageBoxTest : public AppTest::SkinFixture {
protected:
    // Shows the box and clicks the point of its button row (as a fraction of
    // the row's width) once the box is up; the answer. The click comes after
    // the double-click time: at the point of the click that closed the box
    // before, it would be the second press of that click, and act on nothing.
    std::string AnswerAt(const std::string& buttons, float across)
    {
        bool clicked = false;
        Vabo::VaboWnd::PostCall([&] {
            AppTest::PumpUntil([] { return AppTest::NewestWindowTitled("Pellora") != 0; });
            AppTest::Pump(Platform::kDoubleClickMs);
            // The row: 20 pixels in from each side of the 440-pixel box, 130 down, 32 high.
            AppTest::PushClick(AppTest::NewestWindowTitled("Pellora"), 20 + int(400 * across), 146);
            clicked = true;
        });
        std::string answer = ShowMessageBox("Retry the tuner?", buttons, nullptr);
        EXPECT_TRUE(clicked);
        return answer;
    }
};

TEST_F(SkinMessageBoxTest, TheSkinsBoxAnswersTheLabelOfTheButtonClicked)
{
    // Two buttons a quarter of the row wide, centred at a third and two thirds.
    EXPECT_EQ("CANCEL", AnswerAt(" RETRY , CANCEL", 2.0f / 3.0f));
    EXPECT_EQ("RETRY", AnswerAt("RETRY,\"CANCEL\"", 1.0f / 3.0f - 0.1f));
    // No label: one "OK" in the middle; a blank piece is no button.
    EXPECT_EQ("OK", AnswerAt(" , ,", 0.5f));
    EXPECT_EQ("A", AnswerAt(" ,A", 0.5f));
}

TEST_F(SkinMessageBoxTest, BoxesShownAgainHoldNoMoreDocumentsThanTheFirstLeft)
{
    struct Box {
        const char* buttons;
        float across;
        const char* answer;
    };
    const Box boxes[] = {{"", 0.5f, "OK"}, {"RETRY, CANCEL", 2.0f / 3.0f, "CANCEL"}, {"LATER, CHANGE", 1.0f / 3.0f, "LATER"}};
    std::size_t held = 0;
    for (int round = 0; round < 3; ++round) {
        for (const Box& box : boxes) {
            ASSERT_EQ(box.answer, AnswerAt(box.buttons, box.across)) << box.buttons;
            if (round == 0 && &box == boxes)
                held = DllDocMapInstance().GetDocuments().size();
            EXPECT_EQ(held, DllDocMapInstance().GetDocuments().size()) << "round " << round << ": " << box.buttons;
        }
    }
}

TEST_F(SkinMessageBoxTest, AMissingSkinDocumentIsAnEmptyAnswer)
{
    DocMapFolders elsewhere{"/nonexistent", PELLORA_SOURCE_DIR "/lib/VABO/XML"};
    EXPECT_EQ("", ShowMessageBox("Anyone?", "OK", nullptr));
}

TEST_F(SkinMessageBoxTest, EveryApplicationClassSlotAndSignalIsCreatableByName)
{
    // The tuner screen would ask through a modal box when the machine lacked
    // an input line.
    TunerLayout::SetQuestion([](const std::string&, const std::string&) { return std::string(); });
    ObjectsTest::ExpectEveryRegistrationCreatable(
        {{"ComboBox",
          "<ComboBox ObjectXML=\"XML/Main/ComboEntry.xml\" EntryHeight=\"0.1\">"
          "<Vabo::Image ImageFile=\"XML/Main/Pictures/List.png\"/></ComboBox>"},
         {"MetronomeLayout", "<MetronomeLayout BaseXML=\"XML/Main/Metronome.xml\"/>"},
         {"TunerLayout", "<TunerLayout><Config /></TunerLayout>"},
         // The display types name no default file: each is made from the skin's own.
         {"TuneVis", "<TuneVis BaseXML=\"XML/Main/Vis/TuneVis.xml\"/>"},
         {"SampleVis", "<SampleVis BaseXML=\"XML/Main/Vis/SampleVis.xml\"/>"},
         {"ThresholdVis", "<ThresholdVis BaseXML=\"XML/Main/Vis/ThresholdVis.xml\"/>"},
         {"PowerLightVis", "<PowerLightVis BaseXML=\"XML/Main/Vis/PowerLightVis.xml\"/>"},
         {"MetronomeVis", "<MetronomeVis BaseXML=\"XML/Main/Vis/MetronomeVis.xml\"/>"},
         {"BeatLightVis", "<BeatLightVis BaseXML=\"XML/Main/Vis/BeatLightVis.xml\"/>"},
         {"MetronomeSampleVis", "<MetronomeSampleVis BaseXML=\"XML/Main/Vis/MetronomeSampleVis.xml\"/>"},
         {"MessageBoxA", "<MessageBoxA BaseXML=\"XML/Main/MessageBox.xml\"/>"}});
    TunerLayout::SetQuestion({});
    auto& factory = DllGlobalObjectFactoryInstance();
    const auto types = factory.GetTypeNames();
    // Each with no default definition: the skin's document defines the whole object.
    for (const char* type : {"AboutWindow", "ComboBox", "TunerLayout", "MetronomeLayout", "MessageBoxA"}) {
        EXPECT_NE(types.end(), std::find(types.begin(), types.end(), type)) << type;
        EXPECT_EQ("", DllDocMapInstance().GetDefaultBaseXML(type)) << type;
    }
    const auto slots = factory.GetSlotNames();
    for (const char* slot :
         {"AboutWindow::CloseClickedSlot", "AboutWindow::HelpActiveSlot", "AboutWindow::LicenseActiveSlot",
          "TunerLayout::HelpActiveSlot", "MetronomeLayout::CloseClickedSlot"})
        EXPECT_NE(slots.end(), std::find(slots.begin(), slots.end(), slot)) << slot;
}
