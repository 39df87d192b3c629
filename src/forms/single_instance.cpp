#include "forms/single_instance.h"

namespace forms {

bool AnotherCopyRuns(bool created, std::uint32_t lastError) {
    if (created) return lastError == kErrorAlreadyExists;
    // A name that exists but that this process may not open belongs to a copy
    // running with more rights (an elevated one keeps the others out).
    if (lastError == kErrorAccessDenied) return true;
    // An object of another type holds the name, or the call failed for want of
    // resources: no copy of ours can be told apart, so the program runs.
    return false;
}

}  // namespace forms
