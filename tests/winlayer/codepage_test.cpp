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

// Letters 1252 lacks take Windows' best fit; the rest of the world's letters, and
// everything outside the Basic Multilingual Plane, are "?", one for each character.
TEST(Codepage, TakesWindowsBestFitForLettersCp1252Lacks) {
    EXPECT_EQ(Utf8ToWindows1252("Łódź"), "L\363dz") << "Polish";
    EXPECT_EQ(Utf8ToWindows1252("őűčĀ"), "oucA") << "Hungarian, Czech, Latvian";
    EXPECT_EQ(Utf8ToWindows1252("Ａｚ１"), "Az1") << "full width";
    EXPECT_EQ(Utf8ToWindows1252("€„"), "\x80\x84") << "in 1252 itself";
    EXPECT_EQ(Utf8ToWindows1252("αβΣμ"), "a\xDFS\xB5") << "the Greek letters with a fit";
    EXPECT_EQ(Utf8ToWindows1252("Пλ日가"), "????") << "Cyrillic, Greek, CJK, Hangul";
    EXPECT_EQ(Utf8ToWindows1252("a🎵b😀"), "a?b?") << "emoji";
    EXPECT_EQ(Utf8ToWindows1252("\uFFFF\uFFFD"), "??") << "the plane's last two";
}
