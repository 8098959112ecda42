// The system's hung check, made over and over on a thread of the test's own while the
// test acts: WM_NULL sent to the main window with a second to answer, every `every`
// milliseconds. It counts the answers given before the progress box (while the main
// window was still enabled) and with it, the checks left unanswered within the second,
// and the longest wait.
#pragma once

#include <windows.h>

#include <atomic>

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
