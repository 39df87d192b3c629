#include "forms/win32/dll_search.h"

#include "forms/win32/system_api.h"

namespace forms::win32 {

void HardenDllSearch() {
    // Where the first is missing, the second at least drops the current folder.
    if (auto set = api::SetDefaultDllDirectories.Get()) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (auto set = api::SetDllDirectoryW.Get()) set(L"");
}

}  // namespace forms::win32
