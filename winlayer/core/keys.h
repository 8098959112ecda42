// The keys the user presses, as Win32 virtual-key codes (the numbers WM_KEYDOWN
// carries). A letter key's code is its capital letter: 'A' to 'Z'.
#pragma once

#include "winlayer/include/win32_types.h"

namespace winlayer::vk {

constexpr UINT Back = 0x08;
constexpr UINT Tab = 0x09;
constexpr UINT Return = 0x0D;
constexpr UINT Escape = 0x1B;
constexpr UINT Space = 0x20;
constexpr UINT Prior = 0x21; // Page Up
constexpr UINT Next = 0x22;  // Page Down
constexpr UINT End = 0x23;
constexpr UINT Home = 0x24;
constexpr UINT Left = 0x25;
constexpr UINT Up = 0x26;
constexpr UINT Right = 0x27;
constexpr UINT Down = 0x28;
constexpr UINT Delete = 0x2E;
constexpr UINT Apps = 0x5D; // the menu key
constexpr UINT F4 = 0x73;
constexpr UINT F10 = 0x79;

} // namespace winlayer::vk
