// Run-time errors. A failing operation throws one; nothing in a handler
// catches it (but for the hover handler's ignore-failures mode), so it reaches
// the event boundary, which shows the error box and ends the process.
#pragma once

#include <string>

namespace forms {

enum ErrorNumber : int {
    kInvalidCall = 5,
    kOverflow = 6,
    kOutOfMemory = 7,
    kDivisionByZero = 11,
    kFileNotFound = 53,
    kPathFileAccess = 75,
    kPathNotFound = 76,
    kNoSuchArrayMember = 340,
};

struct RuntimeError {
    int number;
    std::wstring what;    // what failed, in plain words
    std::wstring path;    // the path involved, if any
    std::wstring reason;  // the system's own wording, if any
};

// The standard description of an error number ("File not found").
const wchar_t* Describe(int number);

// The text of the error box: number, description, what failed, path, reason.
std::wstring FormatErrorBox(const RuntimeError& e);

// Single-precision result of a floating-point step, checked like the compiled
// program checks it: NaN is an invalid operation, infinity an overflow.
float CheckedSingle(double value, const wchar_t* what);

// Runs one step with failures ignored: a run-time error skips the step only.
template <class F>
void ResumeNext(F&& step) {
    try {
        step();
    } catch (const RuntimeError&) {
    }
}
float CheckedDivide(double a, double b, const wchar_t* what);

}  // namespace forms
