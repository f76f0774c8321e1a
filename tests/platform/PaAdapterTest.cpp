#include "platform/PaAdapter.h"

#include <gtest/gtest.h>

#include <set>

namespace Pa = Platform::Pa;

TEST(PaAdapter, EveryLibraryResultBecomesOneOfOurCodesWithItsOwnText)
{
    EXPECT_EQ(Pa::NoError, Pa::FromLibrary(0));
    EXPECT_EQ(Pa::NoError, Pa::FromLibrary(1));
    // PortAudio v19 numbers its errors from -10000 up; ours are the older
    // numbering, which is shifted by one for most of them.
    EXPECT_EQ(Pa::BufferTooSmall, Pa::FromLibrary(-9990));
    EXPECT_EQ(Pa::BadStreamPointer, Pa::FromLibrary(-9988));
    EXPECT_EQ(Pa::DeviceUnavailable, Pa::FromLibrary(-9985));
    std::set<std::string> texts;
    for (int code = -10000; code <= -9972; ++code) {
        const int ours = Pa::FromLibrary(code);
        EXPECT_GE(ours, Pa::HostError) << code;
        EXPECT_LE(ours, Pa::DeviceUnavailable) << code;
    }
    for (int code = Pa::HostError; code <= Pa::DeviceUnavailable; ++code) {
        const std::string text = Pa::ErrorText(code);
        EXPECT_EQ(std::string::npos, text.find("unknown")) << code;
        texts.insert(text);
    }
    EXPECT_EQ(15u, texts.size()) << "no two codes share a text";
}
