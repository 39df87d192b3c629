#pragma once

#include <string>
#include <string_view>

namespace forms {

// The folder of a program file, the way App.Path reports it: without a
// trailing backslash, except at the root of a drive ("E:\").
std::wstring FolderOf(std::wstring_view filePath);

}  // namespace forms
