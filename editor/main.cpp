// The program's entry point: the main window as a modal dialog, until it closes.
#include "editor/program.h"
#include "resources/resource.h"

HINSTANCE gInstance = nullptr;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    gInstance = instance;
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainWindowProc, 0);
    return 0;
}
