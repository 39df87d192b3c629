#include "forms/win32/system.h"

#include "forms/app_path.h"
#include "forms/win32/handle.h"
#include "forms/win32/system_api.h"
#include "forms/single_instance.h"

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

void HardenDllSearch() {
    // Where the first is missing, the second at least drops the current folder.
    if (auto set = api::SetDefaultDllDirectories.Get()) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (auto set = api::SetDllDirectoryW.Get()) set(L"");
}

bool EnterComApartment() {
    // Once for the thread. A thread in an apartment already (S_FALSE) or in the
    // other kind (RPC_E_CHANGED_MODE) will do as it is.
    static const bool entered = [] {
        const auto init = api::CoInitializeEx.Get();
        if (!init) return false;
        const HRESULT hr = init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        return SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
    }();
    return entered;
}

static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED && kErrorInvalidHandle == ERROR_INVALID_HANDLE &&
              kErrorAlreadyExists == ERROR_ALREADY_EXISTS);

bool ClaimSingleInstance(const wchar_t* mutexName) {
    // Held until the process ends: the name marks this copy for as long as it runs.
    static OwnedHandle mutex;
    HANDLE created = CreateMutexW(nullptr, FALSE, mutexName);
    const DWORD error = GetLastError();  // before anything else can set it
    mutex.Reset(created);
    return AnotherCopyRuns(created != nullptr, error);
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
    // The start may go through shell extensions, which need COM on the thread.
    EnterComApartment();
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
