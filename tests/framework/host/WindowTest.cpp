// Windows of each type from skin elements: what has a host window and what
// does not, title windows and their content, and nested modal loops over one
// owner, whose input comes back only when the outer loop ends.
#include "framework/host/Window.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "WindowTestSupport.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/host/TitleWindow.h"
#include "framework/host/VaboWnd.h"
#include "platform/Log.h"

using WindowTypesTest = WindowTest::Fixture;

TEST_F(WindowTypesTest, ChildAndLonePopupWindowsHaveNoHostAndAnUnknownTypeIsAnXmlError)
{
    TiXmlElement* root = skin_.LoadXML("LoneWindows.xml");
    ASSERT_NE(root, nullptr);
    Vabo::Window child(root->FirstChildElement("Child"));
    EXPECT_EQ(child.GetWindowType(), Vabo::Window::Child);
    EXPECT_EQ(child.GetHostWnd(), nullptr);
    EXPECT_FALSE(child.IsTopLevel());
    child.SetCursor(2);
    EXPECT_FALSE(child.IsMaximized());
    EXPECT_FALSE(child.SetSize(80, 60)) << "without a host window there is nothing to size";
    EXPECT_EQ(child.GetWidth(), 0);
    EXPECT_TRUE(child.SetSize(0, 0)) << "the size it has";

    Vabo::Window popup(root->FirstChildElement("Popup"));
    EXPECT_EQ(popup.GetWindowType(), Vabo::Window::Popup);
    EXPECT_EQ(popup.GetHostWnd(), nullptr) << "no application window in its document";
    EXPECT_TRUE(popup.IsVisible()) << "no host: the object itself is left as built";

    Platform::LogCapture log;
    EXPECT_THROW(Vabo::Window bad(root->FirstChildElement("Bad")), XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(log.Contains("Bad window type specified"));
}

TEST_F(WindowTypesTest, ATitleWindowsContentFillsItBelowTheTitleBarAndIsRequired)
{
    TiXmlElement* root = skin_.LoadXML("TitleWindows.xml");
    ASSERT_NE(root, nullptr);
    auto element = [&](const char* tag) { return root->FirstChildElement(tag)->FirstChildElement(); };
    Vabo::TitleWindow withBar(element("WithBar"));
    Vabo::GuiObject* content = withBar.GetContent();
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(content->GetRect(), (Vabo::Rect{0, 20, 200, 80}));
    EXPECT_FALSE(content->IsUnselectable());
    EXPECT_EQ(Vabo::GetXMLObject<Vabo::GuiObject>(&withBar, "SomethingElse"), content)
        << "the content answers to its name from the window";

    Vabo::TitleWindow withoutBar(element("WithoutBar"));
    ASSERT_NE(withoutBar.GetContent(), nullptr);
    EXPECT_EQ(withoutBar.GetContent()->GetRect(), (Vabo::Rect{0, 0, 200, 100}));

    Platform::LogCapture log;
    EXPECT_THROW(Vabo::TitleWindow window(element("WithoutContent")), XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(log.Contains("Attribute = ObjectXML"));
}

TEST_F(WindowTypesTest, NestedModalsOverOneOwnerGiveItsInputBackOnlyAtTheEnd)
{
    Vabo::Window owner(skin_.LoadXML("OwnerWindow.xml"));
    Vabo::Window outer(skin_.LoadXML("OwnerWindow.xml"));
    Vabo::Window inner(skin_.LoadXML("OwnerWindow.xml"));
    ASSERT_TRUE(owner.GetHostWnd() && outer.GetHostWnd() && inner.GetHostWnd());

    bool disabledInside = false;
    bool disabledBetween = false;
    Vabo::VaboWnd::PostCall([&] {
        Vabo::VaboWnd::PostCall([&] {
            disabledInside = !owner.GetHostWnd()->IsWindowEnabled();
            inner.Close();
        });
        inner.DoModal(&owner);
        disabledBetween = !owner.GetHostWnd()->IsWindowEnabled();
        outer.Close();
    });
    outer.DoModal(&owner);

    EXPECT_TRUE(disabledInside);
    EXPECT_TRUE(disabledBetween) << "the inner loop's end leaves the outer loop's switch off";
    EXPECT_TRUE(owner.GetHostWnd()->IsWindowEnabled());
    EXPECT_TRUE(inner.IsVisible()) << "a modal window stays shown after its loop";
    inner.Close();
    EXPECT_FALSE(inner.IsVisible()) << "after the loop, Close hides";
}
