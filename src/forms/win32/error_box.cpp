#include "forms/win32/error_box.h"

#include "forms/win32/handle.h"

namespace forms::win32 {

std::wstring SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const LocalMemory<wchar_t> owned(text);
    std::wstring message = n ? std::wstring(text, n) : std::wstring();
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return message + L" (" + std::to_wstring(code) + L")";
}

void FailWithLastError(const wchar_t* what) {
    const DWORD error = GetLastError();
    throw RuntimeError{kInvalidCall, what, {}, SystemMessage(error)};
}

void ReportAndEnd(HWND owner, const wchar_t* appTitle, const RuntimeError& e) {
    const std::wstring text = FormatErrorBox(e);
    MessageBoxW(IsWindow(owner) ? owner : nullptr, text.c_str(), appTitle, MB_OK | MB_ICONERROR);
    ExitProcess(1);
}

}  // namespace forms::win32
