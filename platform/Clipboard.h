#pragma once
// Plain text exchange with the desktop's clipboard (through SDL).
#include <string>

namespace Platform {

// Fills `text` with the clipboard's text up to its first zero byte and
// returns true (an empty text set here reads back as ""); returns false and
// leaves `text` alone when there is no text or there is no video.
bool GetClipboardText(std::string& text);

// Puts the text (up to its first zero byte) on the clipboard; a failure is logged.
void SetClipboardText(const std::string& text);

} // namespace Platform
