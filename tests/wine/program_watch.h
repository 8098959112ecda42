// What the Win32 test programs watch of the running program: its progress box, and its
// answers to the system's hung check.
#pragma once

#include <windows.h>

#include <atomic>

// The progress box: a visible top-level window captioned "Quorwin" that the main window
// owns.
inline HWND ProgressBox(HWND main) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, nullptr, L"Quorwin")) != nullptr) {
        if (GetWindow(window, GW_OWNER) == main && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

// The system's hung check, made over and over on a thread of the test's own while the
// test acts: WM_NULL sent to the main window with a second to answer, every `every`
// milliseconds. It counts the answers given before the progress box (while the main
// window was still enabled) and with it, the checks left unanswered within the second,
// and the longest wait.
struct HungChecks {
    HWND main = nullptr;
    DWORD every = 50;
    std::atomic<bool> stop{false};
    std::atomic<int> beforeBox{0};
    std::atomic<int> withBox{0};
    std::atomic<int> unanswered{0};
    std::atomic<ULONGLONG> longest{0};
    HANDLE thread = nullptr;

    static DWORD WINAPI Run(LPVOID data) {
        auto* checks = static_cast<HungChecks*>(data);
        while (!checks->stop) {
            const ULONGLONG start = GetTickCount64();
            DWORD_PTR result = 0;
            const bool answered =
                SendMessageTimeoutW(checks->main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                    1000, &result) != 0;
            const ULONGLONG waited = GetTickCount64() - start;
            if (waited > checks->longest) {
                checks->longest = waited;
            }
            if (!answered) {
                ++checks->unanswered;
            } else if (IsWindowEnabled(checks->main)) {
                ++checks->beforeBox;
            } else {
                ++checks->withBox;
            }
            Sleep(checks->every);
        }
        return 0;
    }
    void Start(HWND window, DWORD interval) {
        main = window;
        every = interval;
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    void Stop() {
        stop = true;
        if (thread != nullptr) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
            thread = nullptr;
        }
    }
    int Sent() const { return beforeBox + withBox + unanswered; }
    ~HungChecks() { Stop(); }
};
