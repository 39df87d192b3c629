#include "forms/win32/system.h"

#include "forms/app_path.h"
#include "forms/win32/handle.h"
#include "forms/single_instance.h"

namespace forms::win32 {

namespace {

// A kernel32 function that older systems lack, looked up at run time so the
// loader never refuses the program for it; nullptr where it is missing.
template <class F>
F Kernel32(const char* name) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(kernel, name))) : nullptr;
}

}  // namespace

void HardenDllSearch() {
    // SetDefaultDllDirectories: Windows 7 with KB2533623 on. SetDllDirectoryW:
    // XP SP1 on; where the first is missing it at least drops the current folder.
    if (auto set = Kernel32<BOOL(WINAPI*)(DWORD)>("SetDefaultDllDirectories")) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (auto set = Kernel32<BOOL(WINAPI*)(LPCWSTR)>("SetDllDirectoryW")) set(L"");
}

static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED && kErrorInvalidHandle == ERROR_INVALID_HANDLE &&
              kErrorAlreadyExists == ERROR_ALREADY_EXISTS);

bool ClaimSingleInstance(const wchar_t* mutexName) {
    // Held until the process ends: the name marks this copy for as long as it runs.
    static OwnedHandle mutex;
    mutex.Reset(CreateMutexW(nullptr, FALSE, mutexName));
    const DWORD error = GetLastError();
    return AnotherCopyRuns(static_cast<bool>(mutex), error);
}

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

namespace {

int ErrorNumberFor(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND: return kFileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE: return kPathNotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION: return kPathFileAccess;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: return kOutOfMemory;
        default: return kInvalidCall;
    }
}

}  // namespace

StartResult StartProgram(HWND owner, const std::wstring& path, int windowStyle) {
    const wchar_t* what = L"Could not start the setup program:";
    // A folder named like the program would open in Explorer instead of failing.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw RuntimeError{kPathFileAccess, what, path, L"The path names a folder, not a program."};
    }
    const std::wstring folder = FolderOf(path);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = owner;
    info.lpVerb = nullptr;  // the default verb: lets Windows raise the elevation prompt
    info.lpFile = path.c_str();
    info.lpParameters = nullptr;
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = windowStyle;
    if (!ShellStart(info)) {
        const DWORD error = GetLastError();
        if (error == ERROR_CANCELLED) return StartResult::Declined;
        throw RuntimeError{ErrorNumberFor(error), what, path, SystemMessage(error)};
    }
    const OwnedHandle process(info.hProcess);  // not waited for: closed at once
    return StartResult::Started;
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
