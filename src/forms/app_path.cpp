#include "forms/app_path.h"

namespace forms {

std::wstring FolderOf(std::wstring_view filePath) {
    const auto slash = filePath.find_last_of(L"\\/");
    if (slash == std::wstring_view::npos) return {};
    std::wstring_view folder = filePath.substr(0, slash);
    // "E:" alone would mean the current folder of drive E: keep the root's backslash.
    if (!folder.empty() && folder.back() == L':') return std::wstring(filePath.substr(0, slash + 1));
    return std::wstring(folder);
}

}  // namespace forms
