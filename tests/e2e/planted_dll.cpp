// A DLL planted beside the menu under a system DLL's name. When anything
// loads it, it appends one line to the file named by VELBROOK_PLANTED_LOG:
// its own path, and whether the menu's code had already run (the menu holds
// its single-instance mutex, named by VELBROOK_PLANTED_MUTEX, from its first
// statements on).
#include <windows.h>

namespace {

void Record(HMODULE self) {
    wchar_t log[1024];
    if (!GetEnvironmentVariableW(L"VELBROOK_PLANTED_LOG", log, 1024)) return;
    wchar_t path[1024];
    const DWORD n = GetModuleFileNameW(self, path, 1024);
    wchar_t name[256];
    if (!GetEnvironmentVariableW(L"VELBROOK_PLANTED_MUTEX", name, 256)) return;
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, name);
    const char* when = mutex ? "after-entry " : "before-entry ";
    if (mutex) CloseHandle(mutex);
    char line[2048];
    const int len = WideCharToMultiByte(CP_UTF8, 0, path, static_cast<int>(n), line, 2000, nullptr, nullptr);
    HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, when, lstrlenA(when), &written, nullptr);
    WriteFile(file, line, static_cast<DWORD>(len), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) Record(self);
    return TRUE;
}
