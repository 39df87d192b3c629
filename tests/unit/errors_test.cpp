// Run-time errors, checked arithmetic and the program folder.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "forms/app_path.h"
#include "forms/errors.h"

namespace {

TEST(ErrorBox, SaysWhatFailedThePathAndTheSystemsReason) {
    const forms::RuntimeError e{forms::kFileNotFound, L"Could not start the setup program:",
                                L"E:\\English_link\\Setup.exe", L"The system cannot find the file specified. (2)"};
    EXPECT_EQ(forms::FormatErrorBox(e),
              L"Run-time error '53':\n\nFile not found\n\nCould not start the setup program:\n"
              L"E:\\English_link\\Setup.exe\n\nThe system cannot find the file specified. (2)");
    EXPECT_EQ(forms::FormatErrorBox({forms::kOverflow, L"", L"", L""}), L"Run-time error '6':\n\nOverflow");
}

TEST(CheckedArithmetic, InvalidDivisionByZeroAndOverflowRaise) {
    const struct {
        double a, b;
        int error;  // 0: no error
    } cases[] = {{1, 2, 0}, {-3, 2, 0}, {1, 0, forms::kDivisionByZero}, {NAN, 2, forms::kInvalidCall},
                 {1e300, 1, forms::kOverflow}, {-1e39, 1, forms::kOverflow}, {INFINITY, 2, forms::kOverflow}};
    for (const auto& c : cases) {
        try {
            const float r = forms::CheckedDivide(c.a, c.b, L"test");
            EXPECT_EQ(c.error, 0) << c.a << "/" << c.b;
            EXPECT_FLOAT_EQ(r, static_cast<float>(c.a / c.b));
        } catch (const forms::RuntimeError& e) {
            EXPECT_EQ(e.number, c.error) << c.a << "/" << c.b;
        }
    }
}

TEST(ResumeNext, SkipsOnlyTheFailingStep) {
    int ran = 0;
    forms::ResumeNext([&] { throw forms::RuntimeError{forms::kNoSuchArrayMember, L"", L"", L""}; });
    forms::ResumeNext([&] { ++ran; });
    EXPECT_EQ(ran, 1);
    EXPECT_THROW(forms::ResumeNext([] { throw std::bad_alloc(); }), std::bad_alloc) << "only run-time errors";
}

TEST(AppPath, FolderOfTheProgramWithABackslashOnlyAtADriveRoot) {
    const std::wstring deep = L"C:\\" + std::wstring(300, L'x');
    const struct {
        std::wstring file, folder;
    } cases[] = {
        {L"E:\\Velbrook.exe", L"E:\\"},
        {L"E:\\Menu\\Velbrook.exe", L"E:\\Menu"},
        {L"E:\\My Menu\\Velbrook.exe", L"E:\\My Menu"},
        {L"D:\\\u5B89\u88DD\\Velbrook.exe", L"D:\\\u5B89\u88DD"},
        {L"\\\\server\\share\\Velbrook.exe", L"\\\\server\\share"},
        {L"\\\\?\\C:\\Velbrook.exe", L"\\\\?\\C:\\"},
        {deep + L"\\Velbrook.exe", deep},
        {L"Velbrook.exe", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(forms::FolderOf(c.file), c.folder);
}

}  // namespace
