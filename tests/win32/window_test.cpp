// A form's real window with a layout of its own and recording handlers: the
// capture a press leaves behind, the keys at a push button, the presses
// dropped while a start runs and after a declined prompt, a move to a monitor of
// another scale, and the menu's pictures at each density. Messages are sent to
// the window directly, so nothing else on the screen takes part. The system's
// start of a program is stood in for: how a start ends is the test's to say.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/win32/form_runtime.h"
#include "chooser/layout.h"
#include "forms/picture_scales.h"
#include "forms/win32/form_window.h"
#include "forms/win32/painter.h"
#include "forms/win32/program_start.h"
#include "resource_ids.h"

namespace {

using namespace forms;
using namespace forms::win32;

constexpr ControlSpec kControls[] = {
    {"Face", kNoIndex, ControlKind::Image, {150, 150, 1500, 750}, true, MousePointer::Default, 0, 0, nullptr, {},
     false},
    {"Button", kNoIndex, ControlKind::CommandButton, {150, 1200, 1500, 450}, true, MousePointer::Default, 0, 0,
     nullptr, {}, false},
};
constexpr FormSpec kForm{"TestForm", L"Win32 layer test", 3000, 2000, IDI_FILE_ICON_GROUP, FormPointer::Crosshair, {},
                         kControls, {}};
constexpr ControlId kFace = 0, kButton = 1;
const LPARAM kOnFace = MAKELPARAM(20, 20), kOnBackground = MAKELPARAM(150, 20);  // client pixels

// The start of a program stands in for the system's: what it does runs while the
// start is under way, as the prompt's own message loop would dispatch it.
std::function<bool()> startProgram;

}  // namespace

bool forms::win32::ShellStart(SHELLEXECUTEINFOW&) { return startProgram(); }

namespace {

class Recorder : public EventSink {
public:
    std::vector<std::string> events;
    bool takeKeys = false;
    bool recordMoves = false;
    std::function<void()> onLoad;

    void Load() override { onLoad(); }
    void MouseMove(ControlId id, const MouseArgs&) override {
        if (recordMoves) events.push_back("move " + Name(id));
    }
    void MouseDown(ControlId id, const MouseArgs&) override { events.push_back("down " + Name(id)); }
    void Click(ControlId id) override { events.push_back("click " + Name(id)); }
    bool KeyDown(ControlId, std::int16_t key, std::int16_t) override {
        events.push_back("key " + std::to_string(key));
        return takeKeys;
    }

private:
    static std::string Name(ControlId id) { return id == kFormItself ? "form" : kControls[id].name; }
};

// Runs the window until its load step, where `script` runs; then it is unloaded.
void WithWindow(Recorder& handlers, const std::function<void(FormSite&, FormRuntime&)>& script) {
    FormWindow window({GetModuleHandleW(nullptr), L"Win32 layer test", L"Win32LayerTestForm", L"Win32LayerTestOwner"}, kForm);
    FormRuntime runtime(window.Site(), window.Painter(), false);
    handlers.onLoad = [&] {
        script(window.Site(), runtime);
        runtime.Unload();
    };
    window.Run(handlers);
}

void WithWindow(Recorder& handlers, const std::function<void(FormSite&)>& script) {
    WithWindow(handlers, [&](FormSite& site, FormRuntime&) { script(site); });
}

void Mouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

TEST(Window, APressWhoseReleaseHappenedOutOfSightLeavesNoCapture) {
    Recorder r;
    HWND capturedWhileHeld = nullptr, capturedAfter = reinterpret_cast<HWND>(1);
    WithWindow(r, [&](FormSite& site) {
        // While the button is really down, the press holds the pointer...
        Mouse(MOUSEEVENTF_LEFTDOWN);
        SendMessageW(site.window, WM_LBUTTONDOWN, MK_LBUTTON, kOnFace);
        capturedWhileHeld = GetCapture();
        Mouse(MOUSEEVENTF_LEFTUP);
        SendMessageW(site.window, WM_LBUTTONUP, 0, kOnFace);
        // ...but a handler may let the release happen where the window never sees it
        // (an elevation prompt): then the next click anywhere must reach its own window.
        SendMessageW(site.window, WM_LBUTTONDOWN, MK_LBUTTON, kOnFace);
        capturedAfter = GetCapture();
    });
    EXPECT_NE(capturedWhileHeld, nullptr) << "no capture even while the button was down";
    EXPECT_EQ(capturedAfter, nullptr);
    EXPECT_EQ(r.events, (std::vector<std::string>{"down Face", "click Face", "down Face"}));
}

TEST(Window, KeysAtAPushButton) {
    constexpr LPARAM kFirst = 0x00390001, kRepeat = 0x40390001, kUp = static_cast<LPARAM>(0xC0390001u);
    struct Key {
        UINT msg;
        WPARAM key;
        LPARAM data;
    };
    const struct {
        const char* what;
        bool formTakes;
        std::vector<Key> keys;
        std::vector<std::string> events;
    } cases[] = {
        {"Space clicks on its key-up", false, {{WM_KEYDOWN, VK_SPACE, kFirst}, {WM_KEYUP, VK_SPACE, kUp}},
         {"key 32", "click Button"}},
        {"a Space the form took", true, {{WM_KEYDOWN, VK_SPACE, kFirst}, {WM_KEYUP, VK_SPACE, kUp}}, {"key 32"}},
        {"a Space key-up whose key-down a prompt read", false, {{WM_KEYUP, VK_SPACE, kUp}}, {}},
        {"Enter clicks at once", false, {{WM_KEYDOWN, VK_RETURN, kFirst}}, {"key 13", "click Button"}},
        {"a held Enter presses once", false, {{WM_KEYDOWN, VK_RETURN, kFirst}, {WM_KEYDOWN, VK_RETURN, kRepeat}},
         {"key 13", "click Button"}},
        {"an Enter the form took", true, {{WM_KEYDOWN, VK_RETURN, kFirst}}, {"key 13"}},
        {"another key", false, {{WM_KEYDOWN, VK_DOWN, kFirst}}, {"key 40"}},
    };
    for (const auto& c : cases) {
        Recorder r;
        r.takeKeys = c.formTakes;
        WithWindow(r, [&](FormSite& site) {
            for (const Key& k : c.keys) SendMessageW(site.ChildOf(kButton), k.msg, k.key, k.data);
        });
        EXPECT_EQ(r.events, c.events) << c.what;
    }
}

TEST(Window, PressesAreDroppedWhileAStartRunsAndAfterADeclineUntilIdle) {
    // Every way a press reaches the handlers, sent as another program, the system or a
    // screen reader sends it, and what the handlers see of it once nothing holds it.
    constexpr LPARAM kKeyDown = 0x00390001, kKeyUp = static_cast<LPARAM>(0xC0390001u);
    const struct {
        const char* what;
        std::function<void(FormSite&)> press;
        std::vector<std::string> reached;
    } doors[] = {
        {"a mouse press",
         [](FormSite& s) {
             SendMessageW(s.window, WM_LBUTTONDOWN, MK_LBUTTON, kOnFace);
             SendMessageW(s.window, WM_LBUTTONUP, 0, kOnFace);
         },
         {"down Face", "click Face"}},
        {"BN_CLICKED",
         [](FormSite& s) {
             SendMessageW(s.window, WM_COMMAND, MAKEWPARAM(FormSite::kFirstChildId + kButton, BN_CLICKED),
                          reinterpret_cast<LPARAM>(s.ChildOf(kButton)));
         },
         {"click Button"}},
        {"BM_CLICK", [](FormSite& s) { SendMessageW(s.ChildOf(kButton), BM_CLICK, 0, 0); }, {"click Button"}},
        {"Enter at the button",
         [](FormSite& s) { SendMessageW(s.ChildOf(kButton), WM_KEYDOWN, VK_RETURN, 0x001C0001); },
         {"key 13", "click Button"}},
        {"Space at the button",
         [](FormSite& s) {
             SendMessageW(s.ChildOf(kButton), WM_KEYDOWN, VK_SPACE, kKeyDown);
             SendMessageW(s.ChildOf(kButton), WM_KEYUP, VK_SPACE, kKeyUp);
         },
         {"key 32", "click Button"}},
        {"a screen reader's press of the button",
         [](FormSite& s) { SendMessageW(s.window, kDefaultActionMessage, kButton, 0); }, {"click Button"}},
        {"a screen reader's press of the picture",
         [](FormSite& s) { SendMessageW(s.window, kDefaultActionMessage, kFace, 0); },
         {"move Face", "down Face", "click Face"}},
        {"WM_CLOSE", [](FormSite& s) { SendMessageW(s.window, WM_CLOSE, 0, 0); }, {"closed"}},
        {"Alt+F4", [](FormSite& s) { SendMessageW(s.window, WM_SYSCOMMAND, SC_CLOSE, 0); }, {"closed"}},
    };
    for (const auto& door : doors) {
        Recorder r;
        r.recordMoves = true;
        WithWindow(r, [&](FormSite& site, FormRuntime& runtime) {
            const auto press = [&](const char* when) {
                r.events.push_back(when);
                door.press(site);
                if (!site.window) r.events.push_back("closed");
            };
            const auto start = [&](bool declined) {
                startProgram = [&, declined] {
                    press(declined ? "during a declined start" : "during a start");
                    SetLastError(declined ? ERROR_CANCELLED : ERROR_SUCCESS);
                    return !declined;
                };
                runtime.Shell(L"C:\\nowhere\\Setup.exe", SW_SHOWNORMAL, L"C:\\nowhere");
            };
            start(true);
            press("after the decline");
            start(false);
            site.TheForm().Idle();
            press("once idle");
        });
        std::vector<std::string> want{"during a declined start", "after the decline", "during a start", "once idle"};
        want.insert(want.end(), door.reached.begin(), door.reached.end());
        EXPECT_EQ(r.events, want) << door.what;
    }
}

TEST(Start, OnlyAStartWhoseProcessEndedBeforeItBeganIsMadeOnceMore) {
    // Each call of the system's start fails with its error here; 0 starts.
    const struct {
        const char* what;
        std::vector<DWORD> calls;
        std::string outcome;
    } cases[] = {
        {"an internal error, then a start", {ERROR_INTERNAL_ERROR, 0}, "started"},
        {"an internal error twice is reported", {ERROR_INTERNAL_ERROR, ERROR_INTERNAL_ERROR}, "error 5 (1359)"},
        {"a missing program is reported at once", {ERROR_FILE_NOT_FOUND}, "error 53 (2)"},
        {"a declined prompt is not asked again", {ERROR_CANCELLED}, "declined"},
    };
    for (const auto& c : cases) {
        size_t made = 0;
        startProgram = [&] {
            const DWORD error = made < c.calls.size() ? c.calls[made] : ERROR_GEN_FAILURE;
            ++made;
            SetLastError(error);
            return error == 0;
        };
        std::string outcome;
        try {
            const StartResult r = StartProgram(nullptr, L"C:\\nowhere\\Setup.exe", L"C:\\nowhere", SW_SHOWNORMAL);
            outcome = r == StartResult::Started ? "started" : "declined";
        } catch (const RuntimeError& e) {
            const std::wstring code = e.reason.substr(e.reason.rfind(L'('));
            outcome = "error " + std::to_string(e.number) + " " + std::string(code.begin(), code.end());
        }
        EXPECT_EQ(outcome, c.outcome) << c.what;
        EXPECT_EQ(made, c.calls.size()) << c.what;
    }
}

TEST(Window, CaptureTakenByAnotherWindowEndsThePressItsOwnDoesNot) {
    const struct {
        const char* what;
        bool byAnother;
        std::vector<std::string> events;
    } cases[] = {
        {"another window took the capture: the next press goes where it falls", true, {"down Face", "down form"}},
        {"the window took it again itself: the press still holds", false, {"down Face", "down Face"}},
    };
    for (const auto& c : cases) {
        Recorder r;
        WithWindow(r, [&](FormSite& site) {
            SendMessageW(site.window, WM_LBUTTONDOWN, MK_LBUTTON, kOnFace);
            HWND taker = c.byAnother ? site.ChildOf(kButton) : site.window;
            SendMessageW(site.window, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(taker));
            // The left button still down as far as the messages say; the right one pressed off the face.
            SendMessageW(site.window, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, kOnBackground);
        });
        EXPECT_EQ(r.events, c.events) << c.what;
    }
}

TEST(Window, ChildWindowsAreKnownByTheirControl) {
    Recorder r;
    WithWindow(r, [&](FormSite& site) {
        ASSERT_NE(site.ChildOf(kButton), nullptr);
        EXPECT_EQ(site.ChildOf(kFace), nullptr) << "a drawn control has no window";
        EXPECT_EQ(site.IdOfChild(site.ChildOf(kButton)), kButton);
        EXPECT_EQ(site.IdOfChild(site.window), kFormItself);
        EXPECT_EQ(site.IdOfChild(GetDesktopWindow()), kFormItself);
        RECT r{};
        GetWindowRect(site.ChildOf(kButton), &r);
        EXPECT_EQ(r.right - r.left, 100) << "1500 twips at 15 a pixel";
    });
}

TEST(Window, MovedToAMonitorOfAnotherScaleItIsLaidOutAndHitThere) {
    constexpr UINT kDpiChanged = 0x02E0, kGetDpiScaledSize = 0x02E4;
    for (int dpi : {120, 144, 192, 96}) {
        Recorder r;
        bool answered = false;
        RECT client{}, button{}, outer{};
        SIZE size{};
        WithWindow(r, [&](FormSite& site) {
            // As Windows does it: the size for the new monitor first, then the move.
            answered = SendMessageW(site.window, kGetDpiScaledSize, dpi, reinterpret_cast<LPARAM>(&size));
            RECT suggested{40, 30, 40 + size.cx, 30 + size.cy};
            SendMessageW(site.window, kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
            GetClientRect(site.window, &client);
            GetWindowRect(site.window, &outer);
            GetWindowRect(site.ChildOf(kButton), &button);
            // The last pixel of the face at this scale, and the one after it.
            const PixelRect face = ToPixels(kControls[kFace].rect, TwipsPerPixel(dpi));
            for (int past : {0, 1}) {
                const LPARAM at = MAKELPARAM(face.x + face.w - 1 + past, face.y + face.h - 1);
                SendMessageW(site.window, WM_LBUTTONDOWN, MK_LBUTTON, at);
                SendMessageW(site.window, WM_LBUTTONUP, 0, at);
            }
        });
        const PixelRect want = ToPixels({0, 0, kForm.clientWidth, kForm.clientHeight}, TwipsPerPixel(dpi));
        const PixelRect wantButton = ToPixels(kControls[kButton].rect, TwipsPerPixel(dpi));
        EXPECT_TRUE(answered) << dpi;
        // The size it answered is the layout's there, so Windows sizes the window once, with no
        // jump. Wine keeps the caption bar at the system's density, so only the width can agree.
        EXPECT_EQ(outer.right - outer.left, size.cx) << dpi;
        EXPECT_GE(size.cy, want.h) << dpi;
        EXPECT_EQ(client.right, want.w) << dpi;
        EXPECT_EQ(client.bottom, want.h) << dpi;
        EXPECT_EQ(button.right - button.left, wantButton.w) << dpi;
        EXPECT_EQ(button.bottom - button.top, wantButton.h) << dpi;
        EXPECT_EQ(r.events, (std::vector<std::string>{"down Face", "click Face", "down form"})) << dpi;
    }
}

TEST(Pictures, AtEveryDensityEachIsMadeAtTheSizeItsControlShowsItThere) {
    // Between the drawn scales and beyond them a picture is reduced or enlarged once, to
    // the size its control shows it at; a size a pixel off would be stretched a second time.
    PictureSource pictures(GetModuleHandleW(nullptr), chooser::kFrmAutoSelect);
    pictures.Load();
    for (int dpi : {110, 120, 132, 168, 200, 300, 336}) {
        for (const ControlSpec& c : chooser::kFrmAutoSelect.controls) {
            if (!c.picture) continue;
            const SIZE own = pictures.LayoutSize(c.picture);
            const DensityPicture p = pictures.At(c, dpi);
            const PictureSize want = PictureSizeAt(c, own.cx, own.cy, dpi);
            EXPECT_EQ(p.size.cx, want.w) << c.name << c.index << " at " << dpi;
            EXPECT_EQ(p.size.cy, want.h) << c.name << c.index << " at " << dpi;
        }
    }
}

}  // namespace
