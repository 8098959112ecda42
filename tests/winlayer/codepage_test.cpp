#include "winlayer/core/codepage.h"

#include <gtest/gtest.h>

using winlayer::Utf8ToWindows1252;
using winlayer::Windows1252ToUtf8;

TEST(Codepage, ConvertsBothWaysAndMarksWhatCp1252CannotHold) {
    EXPECT_EQ(Utf8ToWindows1252("Caf\xC3\xA9 \xE2\x82\xAC 5"), "Caf\xE9 \x80 5");
    EXPECT_EQ(Utf8ToWindows1252("\xE2\x80\x9Cq\xE2\x80\x9D"), "\x93q\x94");
    EXPECT_EQ(Utf8ToWindows1252("\xE6\x97\xA5 \xF0\x9F\x8E\xB5"), "? ?") << "CJK and emoji";
    EXPECT_EQ(Utf8ToWindows1252("\xC3"), "?") << "a cut sequence";
    EXPECT_EQ(Utf8ToWindows1252("\x80z"), "?z") << "a stray continuation byte";
    for (int byte = 1; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(one)), one) << byte;
    }
}
