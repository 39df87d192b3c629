// The Win32 layer's pure helpers: what input messages say, a failed start's
// error number, and the system's wording of an error.
#include <gtest/gtest.h>

#include <string>

#include "forms/errors.h"
#include "forms/win32/error_box.h"
#include "forms/win32/handle.h"
#include "forms/win32/input_state.h"
#include "forms/win32/program_start.h"

namespace {

using namespace forms;
using namespace forms::win32;

TEST(Input, ButtonsAndShiftKeysAsTheHandlersReceiveThem) {
    const struct {
        UINT msg;
        int button;
    } buttons[] = {{WM_LBUTTONDOWN, kLeftButton}, {WM_LBUTTONUP, kLeftButton}, {WM_RBUTTONDOWN, kRightButton},
                   {WM_RBUTTONUP, kRightButton},  {WM_MBUTTONDOWN, kMiddleButton}, {WM_MBUTTONUP, kMiddleButton}};
    for (const auto& c : buttons) EXPECT_EQ(ButtonOf(c.msg), c.button) << std::hex << c.msg;

    const struct {
        WPARAM wp;
        int held, shift;
    } states[] = {
        {0, 0, 0},
        {MK_LBUTTON, kLeftButton, 0},
        {MK_RBUTTON | MK_MBUTTON, kRightButton | kMiddleButton, 0},
        {MK_LBUTTON | MK_SHIFT, kLeftButton, 1},
        {MK_CONTROL, 0, 2},
        {MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_SHIFT | MK_CONTROL, 7, 3},
    };
    for (const auto& c : states) {
        EXPECT_EQ(HeldButtons(c.wp), c.held) << c.wp;
        EXPECT_EQ(ShiftState(c.wp), c.shift) << c.wp;  // no Alt is down here
    }
    EXPECT_EQ(ShiftState(false, false, true), 4);
    EXPECT_EQ(ShiftState(true, true, true), 7);
}

TEST(Input, AHeldKeyRepeatsWithBit30AndSpaceClicksOnlyAfterItsOwnKeyDown) {
    EXPECT_FALSE(IsRepeat(0x00390001));  // Space, first key-down
    EXPECT_TRUE(IsRepeat(0x40390001));   // the same, repeated
    EXPECT_TRUE(IsRepeat(static_cast<LPARAM>(0xC0390001u)));  // a key-up: it was down

    const struct {
        const char* what;
        std::vector<int> downs;  // 1: taken by the form, 0: left to the button
        bool reaches;
    } cases[] = {
        {"the button's own key-down", {0}, true},
        {"a key-down the form took", {1}, false},
        {"no key-down at all (a prompt read it)", {}, false},
        {"the form's, then the button's", {1, 0}, true},
    };
    for (const auto& c : cases) {
        SpaceKey space;
        for (int taken : c.downs) space.Down(taken != 0);
        EXPECT_EQ(space.UpReachesButton(), c.reaches) << c.what;
        EXPECT_FALSE(space.UpReachesButton()) << c.what << ": a second key-up has no key-down of its own";
    }
}

TEST(Errors, AFailedStartGivesTheNumberOfItsCause) {
    const struct {
        DWORD code;
        int number;
    } cases[] = {
        {ERROR_FILE_NOT_FOUND, kFileNotFound},    {ERROR_PATH_NOT_FOUND, kPathNotFound},
        {ERROR_BAD_PATHNAME, kPathNotFound},      {ERROR_FILENAME_EXCED_RANGE, kPathNotFound},
        {ERROR_ACCESS_DENIED, kPathFileAccess},   {ERROR_SHARING_VIOLATION, kPathFileAccess},
        {ERROR_NOT_ENOUGH_MEMORY, kOutOfMemory},  {ERROR_OUTOFMEMORY, kOutOfMemory},
        {ERROR_BAD_EXE_FORMAT, kInvalidCall},     {ERROR_NO_ASSOCIATION, kInvalidCall},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorNumberFor(c.code), c.number) << c.code;
}

TEST(Errors, TheSystemsWordingEndsInItsCodeWithoutALineEnd) {
    for (DWORD code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_BAD_EXE_FORMAT}) {
        const std::wstring text = SystemMessage(code);
        const std::wstring tail = L" (" + std::to_wstring(code) + L")";
        ASSERT_GT(text.size(), tail.size() + 1) << code << ": the system's words are missing";
        EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
        const wchar_t before = text[text.size() - tail.size() - 1];
        EXPECT_TRUE(before != L'\n' && before != L'\r' && before != L' ') << code << ": not trimmed";
    }
    EXPECT_EQ(SystemMessage(0x20001234), L" (536875572)") << "a code the system has no words for";
}

// A COM object that counts its references.
class Counted : public IUnknown {
public:
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
};

TEST(Handles, AComReferenceIsReleasedOnceWhenAnotherTakesItsPlaceAndWhenItGoes) {
    Counted first, second;
    {
        Com<IUnknown> held;
        *held.Out() = &first;  // as a call hands out its reference
        EXPECT_EQ(held.Get(), &first);
        *held.Out() = &second;
        EXPECT_EQ(first.refs, 0) << "the reference held before was not released";
        EXPECT_EQ(second.refs, 1);
    }
    EXPECT_EQ(second.refs, 0) << "not released when its holder went";
    EXPECT_EQ(first.refs, 0) << "released twice";
}

}  // namespace
