// Text set on the desktop's clipboard is read back.
#include "platform/Clipboard.h"
#include "platform/Video.h"
#include "support/DesktopLock.h"

#include <gtest/gtest.h>

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
}
