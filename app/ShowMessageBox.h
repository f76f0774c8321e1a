#pragma once
// Asks the user a question in the skin's message box ("XML/Main/MessageBox.xml"):
// the text, one button per label of the comma-separated list ("OK" when it
// names none), run modally over the owner window (which may be null): centred
// on the owner as it stands, wholly on the screen, or without one centred on
// the screen.
#include <string>

namespace Vabo {
class Window;
}

// The label of the button pressed, or "" when the box was closed otherwise
// or could not be built (logged).
std::string ShowMessageBox(const std::string& text, const std::string& buttons, Vabo::Window* owner);
