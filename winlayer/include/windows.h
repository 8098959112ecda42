// The Win32 subset the program uses, for platforms without Windows.
#pragma once

#include "winlayer/include/win32_constants.h"
#include "winlayer/include/win32_functions.h"
#include "winlayer/include/win32_types.h"
