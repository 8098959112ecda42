// Text between the toolkit (UTF-8) and the program (Windows-1252, one byte a
// character, as the Windows "A" functions hand it over).
#pragma once

#include <string>

namespace winlayer {

// A character that Windows-1252 cannot hold becomes "?".
std::string Utf8ToWindows1252(const std::string& utf8);
std::string Windows1252ToUtf8(const std::string& text);

} // namespace winlayer
