// The About box: the artwork, the version, and one OK button.
#include "editor/program.h"
#include "resources/resource.h"

namespace {
// The box that received the latest message; each box closes itself through it.
HWND gAboutBox = nullptr;
} // namespace

void ShowAbout() {
    // No owner: the main window keeps taking input while the box is open.
    DialogBoxParamA(gInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutProc, 0);
}

INT_PTR CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    gAboutBox = window;
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(gAboutBox);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            DestroyWindow(gAboutBox);
        }
        return TRUE; // Escape and everything else: nothing
    default:
        return FALSE; // also WM_INITDIALOG: no default focus
    }
}
