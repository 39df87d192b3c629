#include "forms/win32/system_api.h"

namespace forms::win32 {

HMODULE SystemModule(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n + 1 + lstrlenW(name) >= MAX_PATH) return nullptr;
    lstrcatW(path, L"\\");
    lstrcatW(path, name);
    if (HMODULE loaded = GetModuleHandleW(path)) return loaded;  // loaded already: no second reference
    return LoadLibraryW(path);
}

}  // namespace forms::win32
