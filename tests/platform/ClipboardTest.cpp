// Text set on the desktop's clipboard is read back, an empty text too.
#include "platform/Clipboard.h"
#include "platform/Video.h"
#include "support/DesktopLock.h"

#include <gtest/gtest.h>
// Last: its macros (None, Bool) would break the headers above.
#include <X11/Xlib.h>

TEST(Clipboard, TextSetIsReadBackUpToAZeroByte)
{
    ASSERT_TRUE(Platform::StartVideo()) << Platform::VideoError();
    DesktopLock clipboard("clipboard");
    Platform::SetClipboardText("440.00 Hz \xE2\x99\xAF");
    std::string text;
    ASSERT_TRUE(Platform::GetClipboardText(text));
    EXPECT_EQ("440.00 Hz \xE2\x99\xAF", text);

    Platform::SetClipboardText(std::string("before\0after", 12));
    ASSERT_TRUE(Platform::GetClipboardText(text));
    EXPECT_EQ("before", text);

    Platform::SetClipboardText("");
    text = "untouched";
    ASSERT_TRUE(Platform::GetClipboardText(text));
    EXPECT_EQ("", text);

    // Another client takes the clipboard without text: no text any more.
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, other);
    const ::Window owner = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(other, XInternAtom(other, "CLIPBOARD", False), owner, CurrentTime);
    XSync(other, False);
    EXPECT_FALSE(Platform::GetClipboardText(text));
    XCloseDisplay(other);
}
