#include "forms/win32/module_path.h"

#include <windows.h>

#include "forms/errors.h"
#include "forms/win32/error_box.h"

namespace forms::win32 {

std::wstring ModuleFileName() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            const DWORD error = GetLastError();
            throw RuntimeError{kPathNotFound, L"Could not read the program's folder.", {}, SystemMessage(error)};
        }
        // A result that fills the buffer may be cut short (and unterminated): grow and ask again.
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        if (buffer.size() >= 65536) throw RuntimeError{kPathNotFound, L"The program's path is too long.", {}, {}};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace forms::win32
