#include "forms/win32/instance_mutex.h"

#include <windows.h>

#include "forms/single_instance.h"
#include "forms/win32/handle.h"

namespace forms::win32 {

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

}  // namespace forms::win32
