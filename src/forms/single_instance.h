// Whether another copy of the program runs, decided from what creating the
// program's named mutex gave back. Platform-neutral so the decision can be
// tested on its own; the error codes are the system's numbers.
#pragma once

#include <cstdint>

namespace forms {

constexpr std::uint32_t kErrorAccessDenied = 5;      // ERROR_ACCESS_DENIED
constexpr std::uint32_t kErrorInvalidHandle = 6;     // ERROR_INVALID_HANDLE
constexpr std::uint32_t kErrorAlreadyExists = 183;   // ERROR_ALREADY_EXISTS

// `created`: the call gave a handle. `lastError`: the error code right after it.
bool AnotherCopyRuns(bool created, std::uint32_t lastError);

}  // namespace forms
