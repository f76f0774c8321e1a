// Windows of each type from skin elements: what has a host window and what
// does not, and nested modal loops over one owner, whose input comes back only
// when the outer loop ends.
#include "framework/host/Window.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>

#include "WindowTestSupport.h"
#include "support/DesktopLock.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/host/VaboWnd.h"
#include "platform/Log.h"

namespace {

class WindowTypesTest : public ::testing::Test {
 protected:
  // One window test at a time holds the pointer and the middle of the display.
  DesktopLock desktop_{"pointer"};

  void SetUp() override {
    ASSERT_TRUE(WindowTest::StartFramework());
    root_ = skin_.LoadXML("LoneWindows.xml");
    ASSERT_NE(root_, nullptr);
  }

  XMLLoadSave skin_;
  TiXmlElement* root_ = nullptr;
};

}  // namespace

TEST_F(WindowTypesTest, AChildWindowHasNoHostWindowAndIgnoresTheCursor) {
  Vabo::Window child(root_->FirstChildElement("Child"));
  EXPECT_EQ(child.GetWindowType(), Vabo::Window::Child);
  EXPECT_EQ(child.GetHostWnd(), nullptr);
  EXPECT_FALSE(child.IsTopLevel());
  child.SetCursor(2);
  EXPECT_FALSE(child.IsMaximized());
  EXPECT_FALSE(child.SetSize(80, 60)) << "without a host window there is nothing to size";
  EXPECT_EQ(child.GetWidth(), 0);
  EXPECT_TRUE(child.SetSize(0, 0)) << "the size it has";
}

TEST_F(WindowTypesTest, APopupWithoutAnApplicationWindowHasNoHostAndStaysHidden) {
  Vabo::Window popup(root_->FirstChildElement("Popup"));
  EXPECT_EQ(popup.GetWindowType(), Vabo::Window::Popup);
  EXPECT_EQ(popup.GetHostWnd(), nullptr);
  EXPECT_TRUE(popup.IsVisible()) << "no host: the object itself is left as built";
}

TEST_F(WindowTypesTest, AnUnknownTypeIsAnXmlError) {
  Platform::LogCapture log;
  EXPECT_THROW(Vabo::Window bad(root_->FirstChildElement("Bad")), XMLLoadSave::XMLLoadSaveException);
  EXPECT_TRUE(log.Contains("Bad window type specified"));
}

TEST(WindowModalTest, NestedModalsOverOneOwnerGiveItsInputBackOnlyAtTheEnd) {
  DesktopLock desktop("pointer");
  ASSERT_TRUE(WindowTest::StartFramework());
  XMLLoadSave skin;
  Vabo::Window owner(skin.LoadXML("OwnerWindow.xml"));
  Vabo::Window outer(skin.LoadXML("OwnerWindow.xml"));
  Vabo::Window inner(skin.LoadXML("OwnerWindow.xml"));
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
