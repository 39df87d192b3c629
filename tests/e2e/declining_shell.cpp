// The start of a program in the test build Velbrook_declined: the first start
// behaves like an elevation prompt that the user declines. Like the secure
// desktop, it covers the whole screen, takes the button's release itself and
// fails with ERROR_CANCELLED. It writes what it was asked to a JSON line in
// the file VELBROOK_PROMPT_LOG names, before the prompt shows. Later starts are real.
// With VELBROOK_PROMPT_QUEUED set, the prompt makes that file once a message
// posted to another of the menu's windows waits in the thread's queue (a
// screen reader's call into the menu, say), so a test can decline after it.
#include <objbase.h>

#include <string>

#include "forms/win32/program_start.h"
#include "json_text.h"

namespace forms::win32 {
namespace {

constexpr wchar_t kPromptTitle[] = L"Velbrook test elevation prompt";

// Whether the thread is in a COM apartment already: entering one again says so.
bool InComApartment() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (SUCCEEDED(hr)) CoUninitialize();
    return hr == S_FALSE;
}

void Record(const SHELLEXECUTEINFOW& info) {
    wchar_t log[32768];
    if (!GetEnvironmentVariableW(L"VELBROOK_PROMPT_LOG", log, 32768)) return;
    using json_text::QuotedOrNull;
    const std::string line =
        "{\"com\": " + std::string(InComApartment() ? "true" : "false") +
        ", \"owner\": " + std::to_string(reinterpret_cast<UINT_PTR>(info.hwnd)) +
        ", \"show\": " + std::to_string(info.nShow) + ", \"mask\": " + std::to_string(info.fMask) +
        ", \"verb\": " + QuotedOrNull(info.lpVerb) + ", \"file\": " + QuotedOrNull(info.lpFile) +
        ", \"parameters\": " + QuotedOrNull(info.lpParameters) + ", \"directory\": " + QuotedOrNull(info.lpDirectory) +
        "}\n";
    HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK PromptProcedure(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP) DestroyWindow(wnd);
    return DefWindowProcW(wnd, msg, wp, lp);
}

// Runs until the button that is down comes up over the prompt, or a minute passes.
// With VELBROOK_PROMPT_AFTER set, the prompt shows only once that file exists,
// like one that takes its time to come (a disc spinning up, a reputation check):
// input in the meantime waits in the menu's queue. The file goes with the prompt.
void DeclinedPrompt() {
    wchar_t after[32768] = L"", queued[32768] = L"";
    GetEnvironmentVariableW(L"VELBROOK_PROMPT_QUEUED", queued, 32768);
    const ULONGLONG deadline = GetTickCount() + 60000ull;
    if (GetEnvironmentVariableW(L"VELBROOK_PROMPT_AFTER", after, 32768)) {
        while (GetFileAttributesW(after) == INVALID_FILE_ATTRIBUTES && GetTickCount() < deadline) Sleep(20);
    }
    WNDCLASSW cls{};
    cls.lpfnWndProc = PromptProcedure;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    cls.lpszClassName = L"VelbrookTestPrompt";
    RegisterClassW(&cls);
    // A prompt that took its time leaves the focus where it was: Wine hands keys that wait
    // in the queue to whichever window has the focus when they are read, where Windows keeps
    // them for the window they were typed into.
    const DWORD inactive = *after ? WS_EX_NOACTIVATE : 0;
    HWND prompt = CreateWindowExW(WS_EX_TOPMOST | inactive, cls.lpszClassName, kPromptTitle, WS_POPUP, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  cls.hInstance, nullptr);
    ShowWindow(prompt, *after ? SW_SHOWNOACTIVATE : SW_SHOW);
    SetCapture(prompt);  // the release is the prompt's, wherever the pointer is
    MSG msg;
    while (IsWindow(prompt) && GetTickCount() < deadline) {
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) continue;
        // Only the prompt's own messages: a prompt of the system's runs in a process of
        // its own, so input meant for the menu waits in the menu's queue meanwhile.
        while (PeekMessageW(&msg, prompt, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (*queued && HIWORD(GetQueueStatus(QS_POSTMESSAGE))) {
            CloseHandle(CreateFileW(queued, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            *queued = L'\0';
        }
    }
    if (IsWindow(prompt)) DestroyWindow(prompt);
    if (*after) DeleteFileW(after);
}

}  // namespace

bool ShellStart(SHELLEXECUTEINFOW& info) {
    static bool declinedOnce = false;
    if (declinedOnce) return ShellExecuteExW(&info) != FALSE;
    declinedOnce = true;
    Record(info);
    DeclinedPrompt();
    SetLastError(ERROR_CANCELLED);
    return false;
}

}  // namespace forms::win32
