// Minimising the main window on the test display.
#pragma once

#include "framework/host/VaboWnd.h"
#include "framework/host/Window.h"
#include "support/MinimisedMark.h"

namespace AppTest {

// True once the window says it is (not) minimised.
inline bool MarkMinimised(Vabo::Window& window, bool minimised)
{
    return TestSupport::MarkMinimised(window.GetHostWnd()->GetNativeWindow()->Handle(), minimised)
        && window.IsMinimized() == minimised;
}

} // namespace AppTest
