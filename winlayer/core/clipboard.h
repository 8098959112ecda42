// The clipboard's text, in UTF-8. The core keeps it: an edit's Copy and Cut put text
// here and Paste takes it from here. A back end with a platform clipboard mirrors the
// two ways: it sets the text here when the platform's clipboard changes, and is told
// through BackendHooks::clipboardChanged when the program's edits copy.
#pragma once

#include <string>

namespace winlayer {

void SetClipboardText(std::string utf8);
const std::string& ClipboardText();

} // namespace winlayer
