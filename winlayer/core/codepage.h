// Text between the user's side (UTF-8) and the program (Windows-1252, one byte a
// character, as the Windows "A" functions hand it over). Only the core converts.
#pragma once

#include <string>
#include <string_view>

namespace winlayer {

// A character that Windows-1252 lacks becomes its best fit, as Windows converts ("Ł" is
// "L", a full-width "Ａ" is "A"), or "?" where it has none (every character outside
// the Basic Multilingual Plane, one "?" each).
std::string Utf8ToWindows1252(const std::string& utf8);
std::string Windows1252ToUtf8(const std::string& text);
// UTF-8 as characters and back; a broken sequence is a "?".
std::u32string Utf8ToChars(const std::string& utf8);
// The character that starts at `at` in UTF-8 text, with `at` moved past it: a broken
// sequence is a "?" one byte long.
char32_t NextChar(std::string_view utf8, size_t& at);
std::string CharsToUtf8(const std::u32string& chars);

} // namespace winlayer
