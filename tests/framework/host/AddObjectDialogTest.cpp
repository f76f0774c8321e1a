// The add-object dialog from a test document: texts entered reach its answer,
// "OK" confirms and closes, "Cancel" only closes, and a document without the
// answer object answers no. The framework's own dialog adds the object whose
// name is typed into its edit box when Enter is pressed.
#include "framework/host/AddObjectDialog.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>

#include "WindowTestSupport.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/host/AppWindow.h"
#include "framework/core/HostInputSignals.h"
#include "framework/host/VaboWnd.h"
#include "framework/widgets/EditBox.h"
#include "framework/widgets/StringSignal.h"
#include "platform/Log.h"
#include "support/DocMapFolders.h"

namespace {

class AddObjectDialogTest : public WindowTest::OwnerFixture {
protected:
    static Vabo::Window* Dialog()
    {
        return dynamic_cast<Vabo::Window*>(DllGlobalObjectFactoryInstance().GetGlobalObject("AddObjectWindow"));
    }

    // Types a text into the dialog's "Name" field, as an edit box reports it.
    static void Enter(const std::string& text)
    {
        auto* field = Vabo::GetXMLObject<Vabo::GuiObject>(Dialog(), "AddObjectWidget->Name");
        ASSERT_NE(field, nullptr);
        Vabo::Signal::String entered(text);
        field->SendToSelf(&entered);
    }

    // Clicks a button of the dialog's content (given in content coordinates;
    // the content starts below the 20-pixel title bar).
    static void Click(int x, int y) { WindowTest::PushClick(WindowTest::WindowId(*Dialog()), x, y + 20); }
};

} // namespace

TEST_F(AddObjectDialogTest, ConfirmingAnswersTheLastTextEnteredAndClosingAnswersNo)
{
    std::string text;
    Vabo::VaboWnd::PostCall([] {
        Enter("Needle");
        Enter("NeedleMeter");
        Click(30, 50);
    });
    EXPECT_TRUE(Vabo::RunAddObjectDialog(owner_.get(), skin_.LoadXML("AddObjectTest.xml"), text));
    EXPECT_EQ(text, "NeedleMeter");

    Vabo::VaboWnd::PostCall([] {
        Enter("Spectrum");
        Click(120, 50);
    });
    EXPECT_FALSE(Vabo::RunAddObjectDialog(owner_.get(), skin_.LoadXML("AddObjectTest.xml"), text));
    EXPECT_EQ(text, "Spectrum");

    // After the dialog, Tab moves the selection in every window again.
    int moves = 0;
    owner_->Connect(
        Vabo::Signal::TypeIdOf<Vabo::Signal::SelectNextObject>(), nullptr,
        [&](Vabo::Signal::Base* signal, Vabo::GuiObject*) {
            if (static_cast<Vabo::Signal::SelectNextObject*>(signal)->direction == 1)
                ++moves;
        },
        owner_->Watch());
    owner_->GetHostWnd()->GetScreenManager().KeyPress(9);
    EXPECT_EQ(moves, 1);
}

TEST_F(AddObjectDialogTest, ADocumentWithoutTheAnswerObjectAnswersNo)
{
    Platform::LogCapture log;
    std::string text = "untouched";
    Vabo::VaboWnd::PostCall([] { Dialog()->Close(); });
    EXPECT_FALSE(Vabo::RunAddObjectDialog(owner_.get(), skin_.LoadXML("NoAnswerDialog.xml"), text));
    EXPECT_EQ(text, "untouched");
    EXPECT_TRUE(log.Contains("AddObjectWidget"));
}

TEST_F(AddObjectDialogTest, TheFrameworksDialogAddsTheObjectNamedInItsEditBoxOnEnter)
{
    DocMapFolders folders(PELLORA_TEST_DATA "/windows", PELLORA_SOURCE_DIR "/lib/VABO/XML");
    Vabo::VaboWnd::PostCall([] {
        auto* name = Vabo::GetXMLObject<Vabo::EditBox>(Dialog(), "AddObjectWidget->Name");
        ASSERT_NE(name, nullptr);
        const std::uint32_t id = WindowTest::WindowId(*Dialog());
        WindowTest::PushClick(id, name->GetWindowX() + 4, name->GetWindowY() + name->GetHeight() / 2);
        WindowTest::PushText(id, "Needle");
        // The edit box takes no "-": the name stays one word.
        WindowTest::PushText(id, "-Meter");
        WindowTest::PushKey(id, SDLK_RETURN);
    });
    TiXmlElement type("Vabo::GridLayout");
    owner_->AddObject(&type);

    const auto creates = owner_->XMLLoadSave::GetChildren(owner_->GetXmlElement(), "CreateObject");
    ASSERT_FALSE(creates.empty());
    EXPECT_STREQ(creates.back()->Attribute("Name"), "NeedleMeter");
    EXPECT_NE(creates.back()->FirstChildElement("Vabo::GridLayout"), nullptr);
    // The next pass over the skin builds it.
    EXPECT_TRUE(owner_->CreateObjects(owner_->GetXmlElement()));
    EXPECT_NE(DllGlobalObjectFactoryInstance().FindObject(owner_.get(), "NeedleMeter"), nullptr);
}
