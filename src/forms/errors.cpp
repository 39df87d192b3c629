#include "forms/errors.h"

#include <cfloat>
#include <cmath>

namespace forms {

const wchar_t* Describe(int number) {
    switch (number) {
        case kInvalidCall: return L"Invalid procedure call or argument";
        case kOverflow: return L"Overflow";
        case kOutOfMemory: return L"Out of memory";
        case kDivisionByZero: return L"Division by zero";
        case kFileNotFound: return L"File not found";
        case kPathFileAccess: return L"Path/File access error";
        case kPathNotFound: return L"Path not found";
        case kNoSuchArrayMember: return L"Control array element doesn't exist";
        default: return L"Application-defined or object-defined error";
    }
}

std::wstring FormatErrorBox(const RuntimeError& e) {
    std::wstring text = L"Run-time error '" + std::to_wstring(e.number) + L"':\n\n" + Describe(e.number);
    if (!e.what.empty()) text += L"\n\n" + e.what;
    if (!e.path.empty()) text += L"\n" + e.path;
    if (!e.reason.empty()) text += L"\n\n" + e.reason;
    return text;
}

float CheckedSingle(double value, const wchar_t* what) {
    if (std::isnan(value)) throw RuntimeError{kInvalidCall, what, {}, L"Invalid floating-point operation."};
    if (std::isinf(value) || std::fabs(value) > FLT_MAX) throw RuntimeError{kOverflow, what, {}, {}};
    return static_cast<float>(value);
}

float CheckedDivide(double a, double b, const wchar_t* what) {
    if (b == 0.0) throw RuntimeError{kDivisionByZero, what, {}, {}};
    return CheckedSingle(a / b, what);
}

}  // namespace forms
