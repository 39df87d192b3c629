#include "forms/win32/program_start.h"

#include "forms/errors.h"
#include "forms/win32/com_apartment.h"
#include "forms/win32/error_box.h"
#include "forms/win32/handle.h"
#include "forms/win32/system_api.h"

namespace forms::win32 {

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

StartResult StartProgram(HWND owner, const std::wstring& path, const std::wstring& folder, int windowStyle) {
    const wchar_t* what = L"Could not start the setup program:";
    // A folder named like the program would open in Explorer instead of failing.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw RuntimeError{kPathFileAccess, what, path, L"The path names a folder, not a program."};
    }
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
    // Wine fails a start with ERROR_INTERNAL_ERROR when the new process ended before
    // its own start-up was done (none of its code ran), and the shell has tried a
    // second way at once by then; a machine under load has been seen to do that now
    // and then. So there, once more after a pause; a start that fails again is
    // reported. Windows does not fail a start that way: there the error has another
    // cause, and a second try could raise a second elevation prompt.
    const bool wine = api::WineGetVersion.Get() != nullptr;
    for (int attempt = 1; !ShellStart(info); ++attempt) {
        const DWORD error = GetLastError();
        if (error == ERROR_CANCELLED) return StartResult::Declined;
        if (error != ERROR_INTERNAL_ERROR || !wine || attempt == 2)
            throw RuntimeError{ErrorNumberFor(error), what, path, SystemMessage(error)};
        Sleep(1000);
    }
    const OwnedHandle process(info.hProcess);  // not waited for: closed at once
    return StartResult::Started;
}

}  // namespace forms::win32
