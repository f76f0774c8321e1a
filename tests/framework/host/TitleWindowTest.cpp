// Title windows: the content from "ObjectXML" fills the window below the
// "Move" bar, or the whole window without one; "ObjectXML" is required.
#include "framework/host/TitleWindow.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "WindowTestSupport.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/XMLLoadSave.h"
#include "platform/Log.h"
#include "support/DesktopLock.h"

namespace {

class TitleWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WindowTest::StartFramework());
    root_ = skin_.LoadXML("TitleWindows.xml");
    ASSERT_NE(root_, nullptr);
  }

  TiXmlElement* Window(const char* tag) { return root_->FirstChildElement(tag)->FirstChildElement(); }

  DesktopLock desktop_{"pointer"};
  XMLLoadSave skin_;
  TiXmlElement* root_ = nullptr;
};

}  // namespace

TEST_F(TitleWindowTest, TheContentStartsBelowTheTitleBar) {
  Vabo::TitleWindow window(Window("WithBar"));
  Vabo::GuiObject* content = window.GetContent();
  ASSERT_NE(content, nullptr);
  EXPECT_EQ(content->GetRect(), (Vabo::Rect{0, 20, 200, 80}));
  EXPECT_FALSE(content->IsUnselectable());
  EXPECT_EQ(Vabo::GetXMLObject<Vabo::GuiObject>(&window, "SomethingElse"), content)
      << "the content answers to its name from the window";
}

TEST_F(TitleWindowTest, WithoutATitleBarTheContentFillsTheWindow) {
  Platform::LogCapture log;
  Vabo::TitleWindow window(Window("WithoutBar"));
  ASSERT_NE(window.GetContent(), nullptr);
  EXPECT_EQ(window.GetContent()->GetRect(), (Vabo::Rect{0, 0, 200, 100}));
}

TEST_F(TitleWindowTest, AWindowWithoutObjectXmlIsAnXmlError) {
  Platform::LogCapture log;
  EXPECT_THROW(Vabo::TitleWindow window(Window("WithoutContent")), XMLLoadSave::XMLLoadSaveException);
  EXPECT_TRUE(log.Contains("Attribute = ObjectXML"));
}
