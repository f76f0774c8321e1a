// Windows of each type from skin elements: what has a host window and what
// does not, title windows and their content, nested modal loops over one
// owner, whose input comes back only when the outer loop ends, and the named
// slots, signals and title of a window; a main window that another program
// destroys before it is first shown closes as Close does.
#include "framework/host/Window.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "WindowTestSupport.h"
#include "framework/core/DocMap.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/ObjectSignals.h"
#include "framework/drawing/Font.h"
#include "framework/host/TitleWindow.h"
#include "framework/host/VaboWnd.h"
#include "platform/Log.h"
#include "platform/NativeWindow.h"
#include "support/ForeignClient.h"

#include <SDL.h>
#include <SDL_syswm.h>

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

TEST_F(WindowTypesTest, AnOwnedPopupIsHiddenUntilShownWhateverItsVisibleSays)
{
    TiXmlElement* root = skin_.LoadXML("OwnedWindows.xml");
    ASSERT_NE(root, nullptr);
    Vabo::Window owner(root);
    for (const char* name : {"ShownPopup", "HiddenPopup"}) {
        Vabo::Window popup(root->FirstChildElement(name));
        ASSERT_NE(popup.GetHostWnd(), nullptr) << name;
        EXPECT_FALSE(popup.GetHostWnd()->IsWindowVisible()) << name;
        EXPECT_FALSE(popup.IsVisible()) << name << " says what it is";
        popup.SetVisible(true);
        EXPECT_TRUE(popup.GetHostWnd()->IsWindowVisible()) << name;
        EXPECT_TRUE(popup.IsVisible()) << name;
    }
}

TEST_F(WindowTypesTest, AWindowLoadedHiddenSaysSoAndTheFirstToggleShowsIt)
{
    TiXmlElement* root = skin_.LoadXML("OwnedWindows.xml");
    ASSERT_NE(root, nullptr);
    root->FirstChildElement("Child")->SetAttribute("Visible", "false");
    Vabo::Window owner(root);
    Vabo::Window child(root->FirstChildElement("Child"));
    for (Vabo::Window* window : {&owner, &child}) {
        ASSERT_NE(window->GetHostWnd(), nullptr);
        EXPECT_FALSE(window->IsVisible()) << window->GetName();
        window->ToggleVisibilitySlot(nullptr, nullptr);
        EXPECT_TRUE(window->IsVisible()) << window->GetName();
        EXPECT_TRUE(window->GetHostWnd()->IsWindowVisible()) << window->GetName();
    }
}

TEST_F(WindowTypesTest, FontsInPercentOfNoObjectTakeItOfTheMainWindow)
{
    using GdiplusGfxLayer::Font;
    struct Case {
        int conversion;
        float mainWindowPixels; // 10 of a main window of 400 x 240
    };
    const Case cases[] = {{Font::Height, 24.0f}, {Font::Width, 40.0f}, {Font::Point, 10.0f}};
    auto owner = std::make_unique<Vabo::Window>(skin_.LoadXML("OwnedWindows.xml"));
    ASSERT_NE(owner->GetHostWnd(), nullptr);
    for (const Case& c : cases)
        EXPECT_EQ(Font("DejaVu Sans", 10.0f, 0, c.conversion).GetPixelSize(), 10.0f) << "no main window yet";
    owner->GetHostWnd()->MakeMainWindow();
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(Font("DejaVu Sans", 10.0f, 0, c.conversion).GetPixelSize(), c.mainWindowPixels)
            << c.conversion;
    owner->SetSize(300, 200);
    EXPECT_FLOAT_EQ(Font("DejaVu Sans", 10.0f, 0, Font::Height).GetPixelSize(), 20.0f) << "its size now";
    owner.reset();
    for (const Case& c : cases)
        EXPECT_EQ(Font("DejaVu Sans", 10.0f, 0, c.conversion).GetPixelSize(), 10.0f) << "the main window gone";
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

    // A window built for one showing, again and again, leaves no documents
    // behind.
    const std::size_t documents = DllDocMapInstance().GetDocuments().size();
    for (int i = 0; i < 3; ++i)
        Vabo::TitleWindow shown(element("WithBar"));
    EXPECT_EQ(documents, DllDocMapInstance().GetDocuments().size());
}

TEST_F(WindowTypesTest, AMainWindowDestroyedByAnotherProgramJustBeforeItIsShownClosesAsCloseDoes)
{
    Vabo::Window main(skin_.LoadXML("OwnerWindow.xml"));
    ASSERT_NE(main.GetHostWnd(), nullptr);
    main.GetHostWnd()->MakeMainWindow();
    Platform::NativeWindow* native = main.GetHostWnd()->GetNativeWindow();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(native->Handle(), &info));
    ForeignClient other;
    ASSERT_TRUE(other.Connected());
    other.Destroy(info.info.x11.window);
    main.SetVisible(true);
    // Ends when the loop hands the window the news of its loss.
    main.DoModal(nullptr);
    EXPECT_TRUE(native->Gone());
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

namespace {

// A window whose maximise, restore and minimise are noted rather than asked
// of a window manager, which the test display does not run.
class NotingWindow : public Vabo::Window {
public:
    using Window::Window;
    void Maximize() override { Note("maximize", true); }
    void Restore() override { Note("restore", false); }
    void Minimize() override { Note("minimize", maximized_); }
    bool IsMaximized() const override { return maximized_; }
    void Note(const std::string& what, bool maximized)
    {
        noted += what + " ";
        maximized_ = maximized;
    }

    std::string noted;

private:
    bool maximized_ = false;
};

} // namespace

TEST_F(WindowTypesTest, TheNamedSlotsShowHideMinimizeMaximizeAndCloseAndTheWindowSaysWhenShownOrClosed)
{
    TiXmlElement* element = skin_.LoadXML("OwnerWindow.xml");
    ASSERT_NE(element, nullptr);
    NotingWindow window(element);
    ASSERT_NE(window.GetHostWnd(), nullptr);
    window.SetVisible(false);
    for (const auto& [typeId, text] : {std::make_pair(Vabo::Signal::TypeIdOf<Vabo::Window::CloseSignal>(), "closed"),
                                       std::make_pair(Vabo::Signal::TypeIdOf<Vabo::Window::VisibleSignal>(), "shown")})
        window.Connect(
            typeId, nullptr,
            [&window, text = text](Vabo::Signal::Base*, Vabo::GuiObject*) { window.Note(text, window.IsMaximized()); },
            window.Watch());

    struct Step {
        const char* slot;
        const char* noted;
        bool visible;
    };
    const Step steps[] = {
        {"ToggleVisibilitySlot", "shown ", true}, {"HideSlot", "", false},
        {"ToggleVisibilitySlot", "shown ", true}, {"ToggleVisibilitySlot", "", false},
        {"MinimizeSlot", "minimize ", false},     {"MaxRestoreSlot", "maximize ", false},
        {"MaxRestoreSlot", "restore ", false},    {"ToggleVisibilitySlot", "shown ", true},
        {"CloseSlot", "closed ", false},
    };
    for (const Step& step : steps) {
        const std::string name = std::string("Vabo::Window::") + step.slot;
        // As a skin connects them: by name, to a button's Activate.
        Vabo::SlotFunction slot = DllGlobalObjectFactoryInstance().CreateSlot(
            name, &window, Vabo::Signal::TypeIdOf<Vabo::Signal::Activate>());
        ASSERT_TRUE(slot) << name;
        window.noted.clear();
        Vabo::Signal::Activate press;
        slot(&press, &window);
        EXPECT_EQ(window.noted, step.noted) << name;
        EXPECT_EQ(window.IsVisible(), step.visible) << name;
        EXPECT_EQ(window.GetHostWnd()->IsWindowVisible(), step.visible) << name;
    }

    window.SetTitle("Pellora \xE2\x99\xAF 440.00");
    EXPECT_EQ(window.GetTitle(), "Pellora \xE2\x99\xAF 440.00");
    EXPECT_EQ(window.GetHostWnd()->GetWindowText(), "Pellora \xE2\x99\xAF 440.00") << "the host window's title";
}
