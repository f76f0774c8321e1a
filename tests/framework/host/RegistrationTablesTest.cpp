// The framework's own registrations, held against the tables it promises skin
// authors: every signal type under its name and class, every named slot with
// the signal class it can be connected to, and every creatable type with its
// default definition file.
#include "framework/core/DocMap.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/HostInputSignals.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/host/AddObjectDialog.h"
#include "framework/host/Window.h"
#include "framework/widgets/AnimatedImage.h"
#include "framework/widgets/EditBoxSignal.h"
#include "framework/widgets/StringSignal.h"
#include "framework/widgets/TextValidateSignal.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace Vabo;

namespace {

int Any()
{
    return Signal::TypeIdOf<Signal::Base>();
}

} // namespace

TEST(RegistrationTables, EverySignalTypeIsRegisteredUnderItsNameForItsClass)
{
    const struct {
        const char* name;
        int typeId;
    } signals[] = {
        {"Vabo::Signal::Hide", Signal::TypeIdOf<Signal::Hide>()},
        {"Vabo::Signal::Show", Signal::TypeIdOf<Signal::Show>()},
        {"Vabo::TextValidate::Validate", Signal::TypeIdOf<TextValidate::Validate>()},
        {"Vabo::Signal::LeftButtonDown", Signal::TypeIdOf<Signal::LeftButtonDown>()},
        {"Vabo::Signal::RightButtonDown", Signal::TypeIdOf<Signal::RightButtonDown>()},
        {"Vabo::Signal::Activate", Signal::TypeIdOf<Signal::Activate>()},
        {"Vabo::Signal::String", Signal::TypeIdOf<Signal::String>()},
        {"Vabo::Signal::ScreenActivation", Signal::TypeIdOf<Signal::ScreenActivation>()},
        {"Vabo::Signal::ObjectSelected", Signal::TypeIdOf<Signal::ObjectSelected>()},
        {"Vabo::Signal::ObjectDeselected", Signal::TypeIdOf<Signal::ObjectDeselected>()},
        {"Vabo::Signal::ObjectVisibilityChange", Signal::TypeIdOf<Signal::ObjectVisibilityChange>()},
        {"Vabo::Signal::EditBoxSignal", Signal::TypeIdOf<Signal::EditBoxSignal>()},
        {"Vabo::AnimatedImage::SignalAnimateForwards", Signal::TypeIdOf<AnimatedImage::SignalAnimateForwards>()},
        {"Vabo::AnimatedImage::SignalAnimateBackwards", Signal::TypeIdOf<AnimatedImage::SignalAnimateBackwards>()},
        {"Vabo::Window::CloseSignal", Signal::TypeIdOf<Window::CloseSignal>()},
        {"Vabo::Window::VisibleSignal", Signal::TypeIdOf<Window::VisibleSignal>()},
        {"Vabo::Signal::ObjectReady", Signal::TypeIdOf<Signal::ObjectReady>()},
    };
    auto& factory = DllGlobalObjectFactoryInstance();
    for (const auto& signal : signals) {
        EXPECT_NE(0, signal.typeId) << signal.name;
        EXPECT_EQ(signal.typeId, factory.GetSignalId(signal.name)) << signal.name;
        auto made = factory.CreateSignal(signal.name);
        ASSERT_TRUE(made) << signal.name;
        EXPECT_EQ(signal.typeId, made->GetTypeId()) << signal.name;
    }
}

TEST(RegistrationTables, EveryNamedSlotTakesTheSignalClassItIsRegisteredFor)
{
    const struct {
        const char* name;
        int signalTypeId; // Any(): connects to every signal type
    } slots[] = {
        {"Vabo::GridLayout::SlotRestartAnimation", Signal::TypeIdOf<Signal::ScreenActivation>()},
        {"Vabo::GuiObject::SlotShow", Any()},
        {"Vabo::GuiObject::SlotHide", Any()},
        {"Vabo::PopupMenuWindow::SlotPopup", Any()},
        {"Vabo::PopupMenuWindow::SlotPopupAtCursor", Any()},
        {"Vabo::Screen::SlotScreenBack", Any()},
        {"Vabo::Screen::SlotResetBackStack", Any()},
        {"Vabo::TextValidate::Float::SlotValidate", Signal::TypeIdOf<TextValidate::Validate>()},
        {"Vabo::TextValidate::Int::SlotValidate", Signal::TypeIdOf<TextValidate::Validate>()},
        {"Vabo::AnimatedImage::SlotStopAnimating", Any()},
        {"Vabo::AnimatedImage::SlotAnimateForwards", Any()},
        {"Vabo::AnimatedImage::SlotAnimateBackwards", Any()},
        {"Vabo::Window::CloseSlot", Any()},
        {"Vabo::Window::HideSlot", Any()},
        {"Vabo::Window::MinimizeSlot", Any()},
        {"Vabo::Window::MaxRestoreSlot", Any()},
        {"Vabo::Window::ToggleVisibilitySlot", Any()},
        {"Vabo::AddObjectDialog::OKSlot", Signal::TypeIdOf<Signal::Activate>()},
        {"Vabo::AddObjectDialog::StringSlot", Signal::TypeIdOf<Signal::String>()},
        {"Vabo::ToggleButton::SlotToggle", Any()},
    };
    auto& factory = DllGlobalObjectFactoryInstance();
    for (const auto& slot : slots) {
        const auto* registered = factory.GetSlotFactory(slot.name);
        ASSERT_NE(nullptr, registered) << slot.name;
        EXPECT_EQ(slot.signalTypeId, registered->GetSignalTypeId()) << slot.name;
    }

    // A slot bound to one signal class refuses every other.
    TiXmlElement element("Vabo::AddObjectDialog");
    AddObjectDialog dialog(&element);
    EXPECT_TRUE(factory.CreateSlot("Vabo::AddObjectDialog::OKSlot", &dialog, Signal::TypeIdOf<Signal::Activate>()));
    for (int other : {Signal::TypeIdOf<Signal::EditBoxSignal>(), Signal::TypeIdOf<Signal::String>(), Any()})
        EXPECT_FALSE(factory.CreateSlot("Vabo::AddObjectDialog::OKSlot", &dialog, other)) << other;
}

TEST(RegistrationTables, EveryCreatableTypeHasItsDefaultDefinitionFile)
{
    const struct {
        const char* type;
        const char* file;
    } types[] = {
        {"Vabo::NewListBox", "$VABO/Objects/NewListBox/NewListBox.xml"},
        {"Vabo::NewScrolledListBox", "$VABO/Objects/NewScrolledListBox/NewScrolledListBox.xml"},
        // Its own definition: the dialog's document builds a whole title
        // window, which "BaseXML" "default" on this type must not.
        {"Vabo::AddObjectDialog", "$VABO/Objects/AddObjectDialog/AddObjectDialog.xml"},
        {"Vabo::Screen", "$VABO/Objects/Screen/Screen.xml"},
        {"Vabo::Text", "$VABO/Objects/Text/Text.xml"},
        {"Vabo::ToggleButton", "$VABO/Objects/ToggleButton/ToggleButton.xml"},
        {"Vabo::Window", "$VABO/Objects/Window/Window.xml"},
        {"Vabo::GridLayout", "$VABO/Objects/GridLayout/GridLayout.xml"},
        {"Vabo::PackedLayout", "$VABO/Objects/PackedLayout/PackedLayout.xml"},
        {"Vabo::Text2", "$VABO/Objects/Text2/Text2.xml"},
        {"Vabo::ToolTip", "$VABO/Objects/ToolTip/ToolTip.xml"},
        {"Vabo::PopupMenuWindow", "$VABO/Objects/PopupMenuWindow/PopupMenuWindow.xml"},
        {"Vabo::ScrollText", "$VABO/Objects/ScrollText/ScrollText.xml"},
        {"Vabo::EditBox", "$VABO/Objects/EditBox/EditBox.xml"},
        {"Vabo::ProgressBar", "$VABO/Objects/ProgressBar/ProgressBar.xml"},
        {"Vabo::TextValidate::Float", "$VABO/Objects/TextValidateFloat/TextValidateFloat.xml"},
        {"Vabo::TextValidate::Int", "$VABO/Objects/TextValidateInt/TextValidateInt.xml"},
        {"Vabo::AnimatedImage", "$VABO/Objects/AnimatedImage/AnimatedImage.xml"},
        {"Vabo::ObjectSlider", "$VABO/Objects/ObjectSlider/ObjectSlider.xml"},
        {"Vabo::Image", "$VABO/Objects/Image/Image.xml"},
        {"Vabo::LargeFocusContainer", "$VABO/Objects/LargeFocusContainer/LargeFocusContainer.xml"},
        {"Vabo::ImageButton", "$VABO/Objects/ImageButton/ImageButton.xml"},
        {"Vabo::MenuButton", "$VABO/Objects/MenuButton/MenuButton.xml"},
        {"Vabo::TitleWindow", "$VABO/Objects/TitleWindow/TitleWindow.xml"},
    };
    const std::vector<std::string> registered = DllGlobalObjectFactoryInstance().GetTypeNames();
    for (const auto& type : types) {
        EXPECT_NE(registered.end(), std::find(registered.begin(), registered.end(), type.type)) << type.type;
        EXPECT_EQ(type.file, DllDocMapInstance().GetDefaultBaseXML(type.type)) << type.type;
    }
}
