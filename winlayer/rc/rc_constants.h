// The Win32 style names a resource script may use, with their values.
#pragma once

#include <map>
#include <string>

namespace rc {

const std::map<std::string, long long>& Win32Constants();

} // namespace rc
