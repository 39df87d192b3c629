// Stands in for a language's Setup.exe on the demo medium and in the tests.
// With VELBROOK_STUB_LOG set it appends one JSON line (its own path, command
// line, working folder and show command) to that file and ends; otherwise it says which
// setup would have run.
#include <windows.h>

#include <string>

#include "json_text.h"

namespace {

std::wstring ModulePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return buffer.substr(0, n);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring CurrentFolder() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(n, L'\0');
    const DWORD written = GetCurrentDirectoryW(n, buffer.data());
    buffer.resize(written);
    return buffer;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring self = ModulePath();
    wchar_t log[32768];
    if (GetEnvironmentVariableW(L"VELBROOK_STUB_LOG", log, 32768)) {
        // How it was asked to show its window: the show command, where the starter gave one.
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        GetStartupInfoW(&startup);
        const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
        using json_text::Quoted;
        const std::string line = "{\"module\": " + Quoted(self) + ", \"cmdline\": " + Quoted(GetCommandLineW()) +
                                 ", \"cwd\": " + Quoted(CurrentFolder()) + ", \"show\": " + std::to_string(show) + "}\n";
        HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
        DWORD written = 0;
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(file);
        return 0;
    }
    const std::wstring text =
        L"This is a demo medium. The setup program of this language would start here:\n\n" + self;
    MessageBoxW(nullptr, text.c_str(), L"Velbrook demo setup", MB_OK | MB_ICONINFORMATION);
    return 0;
}
