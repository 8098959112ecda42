// Starting the program through its own entry point, as Windows starts it. Kept in a
// file of its own so that code which runs no program needs no WinMain.
#pragma once

namespace winlayer {

// Calls WinMain with the program's instance handle and returns its exit status.
int RunWinMain();

} // namespace winlayer
