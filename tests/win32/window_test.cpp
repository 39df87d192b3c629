// A form's real window with a layout of its own and recording handlers: the
// capture a press leaves behind, the keys at a push button, the presses
// dropped while a start runs and after a declined prompt, a move to a monitor of
// another scale, the paint handler's pictures (in a paint, in a paint inside its
// paint, outside one), the menu's window and pictures at each density (those
// decoded ahead too; the menu's own reader against WIC), WIC's search where its
// PNG decoder cannot serve, and where a window's density is read on each
// Windows. Messages are sent to the window directly, so nothing else on the
// screen takes part. The system's start of a program is stood in for: how a
// start ends is the test's to say.
#include <gtest/gtest.h>
#include <wincodec.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "forms/win32/form_runtime.h"
#include "chooser/controls.h"
#include "chooser/layout.h"
#include "forms/picture_scales.h"
#include "forms/win32/form_window.h"
#include "forms/win32/painter.h"
#include "forms/win32/scaled_picture.h"
#include "forms/win32/com_apartment.h"
#include "forms/win32/system_api.h"
#include "layout_pixels.h"
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
    // Hidden: only its picture is drawn, by a paint handler.
    {"Tile", kNoIndex, ControlKind::Image, {0, 0, 15, 15}, false, MousePointer::Default, IDB_PICTURE1, 0, nullptr, {},
     false},
};
constexpr FormSpec kForm{"TestForm", L"Win32 layer test", 3000, 2000, IDI_FILE_ICON_GROUP, FormPointer::Crosshair, {},
                         kControls, {}};
constexpr ControlId kFace = 0, kButton = 1, kTile = 2;
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
    const FormSpec* layout = &kForm;
    bool recordMoves = false;
    std::function<void()> onLoad, onMove;
    std::function<void()> onPaint = [] {};

    void Load() override { onLoad(); }
    void Paint() override { onPaint(); }
    void MouseMove(ControlId id, const MouseArgs&) override {
        if (recordMoves) events.push_back("move " + Name(id));
        if (onMove) onMove();
    }
    void MouseDown(ControlId id, const MouseArgs&) override { events.push_back("down " + Name(id)); }
    void Click(ControlId id) override { events.push_back("click " + Name(id)); }
    bool KeyDown(ControlId, std::int16_t key, std::int16_t) override {
        events.push_back("key " + std::to_string(key));
        return takeKeys;
    }

    std::string Name(ControlId id) const {
        return id == kFormItself ? "form" : ControlName(layout->controls[id].name, layout->controls[id].index);
    }
};

// Runs the window until its load step, where `script` runs; then it is unloaded.
void WithWindow(Recorder& handlers, const std::function<void(FormWindow&, FormRuntime&)>& script) {
    FormWindow window({GetModuleHandleW(nullptr), L"Win32 layer test", L"Win32LayerTestForm", L"Win32LayerTestOwner"},
                      *handlers.layout);
    FormRuntime runtime(window.Site(), window.Painter(), false);
    handlers.onLoad = [&] {
        script(window, runtime);
        runtime.Unload();
    };
    window.Run(handlers);
    // Unloaded in its load step, the window leaves its quit in the queue, where it would
    // end the next test's DoEvents at once.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void WithWindow(Recorder& handlers, const std::function<void(FormSite&, FormRuntime&)>& script) {
    WithWindow(handlers, [&](FormWindow& window, FormRuntime& runtime) { script(window.Site(), runtime); });
}

void WithWindow(Recorder& handlers, const std::function<void(FormSite&)>& script) {
    WithWindow(handlers, [&](FormSite& site, FormRuntime&) { script(site); });
}

// As Windows moves a window to a monitor of another scale: it asks the size for
// that scale first, then moves it. Whether the window answered, and the size.
constexpr UINT kDpiChanged = 0x02E0, kGetDpiScaledSize = 0x02E4;
bool MoveToScale(HWND window, int dpi, SIZE& size) {
    const bool answered = SendMessageW(window, kGetDpiScaledSize, dpi, reinterpret_cast<LPARAM>(&size));
    RECT suggested{40, 30, 40 + size.cx, 30 + size.cy};
    SendMessageW(window, kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    return answered;
}

// A press and its release at a client pixel.
void Press(HWND window, int x, int y) {
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
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

TEST(Window, AHandlerThatLetsEventsRunUnderAStartDoesNotEndTheHold) {
    // A move the prompt's loop dispatches reaches the hover handler, which lets events run
    // until the queue is dry: still under the start, a click sent next is dropped.
    Recorder r;
    WithWindow(r, [&](FormSite& site, FormRuntime& runtime) {
        r.onMove = [&] { runtime.DoEvents(); };
        startProgram = [&] {
            SendMessageW(site.window, WM_MOUSEMOVE, 0, kOnBackground);
            SendMessageW(site.window, WM_COMMAND, MAKEWPARAM(FormSite::kFirstChildId + kButton, BN_CLICKED),
                         reinterpret_cast<LPARAM>(site.ChildOf(kButton)));
            SetLastError(ERROR_CANCELLED);
            return false;
        };
        runtime.Shell(L"C:\\nowhere\\Setup.exe", SW_SHOWNORMAL, L"C:\\nowhere");
        r.onMove = nullptr;
    });
    EXPECT_EQ(r.events, std::vector<std::string>{});
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

TEST(Window, AControlShownOrHiddenShowsSo) {
    // A child window shows or hides itself; a drawn control's area is drawn again at the next paint.
    Recorder r;
    WithWindow(r, [&](FormSite& site, FormRuntime& runtime) {
        const RECT face = ToRect(site.PixelsOf(kControls[kFace].rect));
        const struct {
            ControlId control;
            bool visible;
            bool buttonShown;
            RECT changed;
        } steps[] = {
            {kFace, false, true, face},
            {kFace, false, true, {}},  // as it was: nothing to draw
            {kFace, true, true, face},
            {kButton, false, false, {}},
            {kButton, true, true, {}},
        };
        site.TakeChanged();
        for (size_t i = 0; i < std::size(steps); ++i) {
            runtime.SetVisible({steps[i].control}, steps[i].visible);
            const RECT changed = site.TakeChanged();
            EXPECT_TRUE(EqualRect(&changed, &steps[i].changed)) << "step " << i;
            EXPECT_EQ((GetWindowLongW(site.ChildOf(kButton), GWL_STYLE) & WS_VISIBLE) != 0, steps[i].buttonShown)
                << "step " << i;
        }
    });
}

TEST(Window, MovedToAMonitorOfAnotherScaleItIsLaidOutAndHitThere) {
    for (int dpi : {120, 144, 192, 96}) {
        Recorder r;
        bool answered = false;
        RECT client{}, button{}, outer{};
        SIZE size{};
        WithWindow(r, [&](FormSite& site) {
            answered = MoveToScale(site.window, dpi, size);
            GetClientRect(site.window, &client);
            GetWindowRect(site.window, &outer);
            GetWindowRect(site.ChildOf(kButton), &button);
            // The last pixel of the face at this scale, and the one after it.
            const PixelRect face = ToPixels(kControls[kFace].rect, dpi);
            for (int past : {0, 1}) Press(site.window, face.x + face.w - 1 + past, face.y + face.h - 1);
        });
        const PixelRect want = ToPixels({0, 0, kForm.clientWidth, kForm.clientHeight}, dpi);
        const PixelRect wantButton = ToPixels(kControls[kButton].rect, dpi);
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

TEST(Window, AtEachDensityTheMenuIsLaidOutAndHitOnThePixelsWorkedOutForIt) {
    const FormSpec& menu = chooser::kFrmAutoSelect;
    for (const layout_pixels::AtDensity& at : layout_pixels::kDensities) {
        Recorder r;
        r.layout = &menu;
        WithWindow(r, [&](FormSite& site) {
            SIZE size{};
            MoveToScale(site.window, at.dpi, size);
            RECT client{};
            GetClientRect(site.window, &client);
            EXPECT_EQ((PixelRect{0, 0, client.right, client.bottom}), at.client) << at.dpi;
            for (ControlId id = 0; id < static_cast<ControlId>(menu.controls.size()); ++id) {
                const ControlSpec& c = menu.controls[id];
                const std::string name = r.Name(id) + " at " + std::to_string(at.dpi);
                const std::optional<layout_pixels::Expected> want = layout_pixels::Find(at, c);
                ASSERT_TRUE(want) << name;
                PixelRect shown = site.PixelsOf(c.rect);
                if (HWND child = site.ChildOf(id)) {
                    RECT w{};
                    GetWindowRect(child, &w);
                    MapWindowPoints(nullptr, site.window, reinterpret_cast<POINT*>(&w), 2);
                    shown = {w.left, w.top, w.right - w.left, w.bottom - w.top};
                }
                EXPECT_EQ(shown, want->rect) << name;
                // A shown language's face takes the pointer on its first and last pixels, and not beside them.
                if (std::string_view(c.name) != "CountryImage" || c.index == 0 || !c.visible) continue;
                const PixelRect f = want->rect;
                const struct {
                    int x, y;
                    bool on;
                } points[] = {
                    {f.x, f.y, true},      {f.x + f.w - 1, f.y + f.h - 1, true}, {f.x - 1, f.y, false},
                    {f.x, f.y - 1, false}, {f.x + f.w, f.y + f.h - 1, false},    {f.x + f.w - 1, f.y + f.h, false},
                };
                for (const auto& p : points) {
                    r.events.clear();
                    Press(site.window, p.x, p.y);
                    ASSERT_FALSE(r.events.empty()) << name;
                    EXPECT_EQ(r.events.front(), "down " + (p.on ? r.Name(id) : "form"))
                        << name << ", pixel " << p.x << "," << p.y;
                }
            }
        });
    }
}

TEST(Pictures, AtEveryDensityEachIsMadeAtTheSizeItsControlShowsItThere) {
    // Between the drawn scales and beyond them a picture is reduced or enlarged once, to
    // the size its control shows it at; a size a pixel off would be stretched a second time.
    PictureSource pictures(GetModuleHandleW(nullptr), chooser::kFrmAutoSelect);
    pictures.Load();
    for (const layout_pixels::AtDensity& at : layout_pixels::kDensities) {
        for (const ControlSpec& c : chooser::kFrmAutoSelect.controls) {
            if (!c.picture) continue;
            const DensityPicture p = pictures.At(c, at.dpi);
            const std::optional<layout_pixels::Expected> want = layout_pixels::Find(at, c);
            ASSERT_TRUE(want) << c.name << c.index;
            EXPECT_EQ(p.size.cx, want->picture.w) << c.name << c.index << " at " << at.dpi;
            EXPECT_EQ(p.size.cy, want->picture.h) << c.name << c.index << " at " << at.dpi;
        }
    }
}

// A bitmap's pixels as 0xRRGGBB, row by row from the top.
struct Pixels {
    int w = 0, h = 0;
    std::vector<DWORD> px;
    DWORD At(int x, int y) const { return px[static_cast<size_t>(y) * w + x] & 0xFFFFFF; }
};

Pixels PixelsOf(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    Pixels out{info.bmWidth, info.bmHeight, std::vector<DWORD>(static_cast<size_t>(info.bmWidth) * info.bmHeight)};
    BITMAPINFO want{};
    want.bmiHeader = {sizeof(BITMAPINFOHEADER), out.w, -out.h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, out.h, out.px.data(), &want, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return out;
}

// `draw`(dc) into a new w x h bitmap: what it drew.
template <class F>
Pixels Drawn(int w, int h, F&& draw) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, bitmap);
    draw(dc);
    GdiFlush();
    SelectObject(dc, old);
    Pixels out = PixelsOf(bitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return out;
}

const ControlSpec& MenuControl(const char* name) {
    for (const ControlSpec& c : chooser::kFrmAutoSelect.controls)
        if (std::string(c.name) == name) return c;
    throw std::logic_error(name);
}

// `from` stretched to `size` with the HALFTONE filter.
Pixels Halftoned(HBITMAP from, SIZE size) {
    return Drawn(size.cx, size.cy, [&](HDC dc) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, from);
        const Pixels own = PixelsOf(from);
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, size.cx, size.cy, source, 0, 0, own.w, own.h, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    });
}

TEST(Pictures, BetweenDrawnScalesEachIsTheNextDrawnOneReducedWithHalftone) {
    // At 110 dpi: the 120-dpi picture reduced, averaged (not the 96-dpi one enlarged, nor pixels dropped).
    PictureSource pictures(GetModuleHandleW(nullptr), chooser::kFrmAutoSelect);
    pictures.Load();
    ScaledPictures drawn(GetModuleHandleW(nullptr), 120);
    for (const char* name : {chooser::kImage4, chooser::kCommand1}) {
        const ControlSpec& c = MenuControl(name);
        const DensityPicture p = pictures.At(c, 110);
        const OwnedBitmap from = drawn.Load(c.picture);
        ASSERT_TRUE(from) << name << ": no 120-dpi picture";
        EXPECT_TRUE(PixelsOf(p.bitmap).px == Halftoned(from.Get(), p.size).px) << name;
    }
}

TEST(Pictures, ThoseAFirstPaintDrawsAreDecodedAheadForTheDrawnScaleAndAreTheOnesDecodedWhenDrawn) {
    // Between two drawn scales and at one; at each twice, as for a window moved
    // between two densities of one drawn scale (110 and 120 dpi).
    const FormSpec& menu = chooser::kFrmAutoSelect;
    for (int dpi : {110, 192}) {
        PictureSource ahead(GetModuleHandleW(nullptr), menu), whenDrawn(GetModuleHandleW(nullptr), menu);
        ahead.Load();
        whenDrawn.Load();
        for (int round = 0; round < 2; ++round) {
            ahead.DecodeAhead(dpi);
            std::vector<int> seen;
            for (const ControlSpec& c : menu.controls) {
                // A first paint draws the visible controls' pictures, and the picture boxes' (the tile).
                if (!c.picture || !(c.visible || c.kind == ControlKind::PictureBox) ||
                    std::find(seen.begin(), seen.end(), c.picture) != seen.end()) {
                    continue;
                }
                seen.push_back(c.picture);
                const DensityPicture got = ahead.At(c, dpi), want = whenDrawn.At(c, dpi);
                EXPECT_TRUE(PixelsOf(got.bitmap).px == PixelsOf(want.bitmap).px)
                    << c.name << c.index << " at " << dpi << ", round " << round;
                if (c.kind == ControlKind::PictureBox && dpi == 192 && round == 0) {
                    // At a drawn scale the tile is also stretched ahead, to the size the paint
                    // handler tiles it at: the inside of a box with the picture box's sunken edge.
                    const PixelRect outer = ToPixels({0, 0, c.rect.width, c.rect.height}, dpi);
                    const OwnedWindow edged(CreateWindowExW(WS_EX_CLIENTEDGE, L"STATIC", L"", WS_POPUP, 0, 0, outer.w,
                                                            outer.h, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
                    RECT inside{};
                    ASSERT_TRUE(edged && GetClientRect(edged.Get(), &inside));
                    const PixelRect box{0, 0, inside.right, inside.bottom};
                    const OwnedBitmap tile = ahead.Stretched(c.picture, {box.w, box.h}, dpi);
                    ASSERT_TRUE(tile) << c.name << ": not stretched ahead to " << box.w << " x " << box.h;
                    EXPECT_TRUE(PixelsOf(tile.Get()).px == Halftoned(want.bitmap, {box.w, box.h}).px) << c.name;
                }
            }
            EXPECT_EQ(ahead.DecodedWhenDrawn(), 0) << "decoded when drawn, not ahead, at " << dpi << ", round " << round;
        }
    }
}

TEST(Pictures, WicsSearchDecodesWhatThePngDecoderRefusesAndWhereItsClassCannotBeHad) {
    // 2 x 2, 24 bits, rows bottom-up: red, green; blue, white.
    static const BYTE kBmp[] = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                             // file header
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0,  // info header
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                             // no resolution, no palette
        0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0,                 // BGR, rows of 8
    };
    ASSERT_TRUE(EnterComApartment());
    for (bool pngClass : {true, false}) {
        WicDecoders wic;
        ASSERT_TRUE(wic.Reach());
        ASSERT_TRUE(wic.png) << "WIC without its PNG decoder's class";
        if (!pngClass) wic.png.Reset();
        const OwnedBitmap bitmap = wic.Decode(kBmp, sizeof kBmp);
        ASSERT_TRUE(bitmap) << "with the PNG decoder's class: " << pngClass;
        const Pixels p = PixelsOf(bitmap.Get());
        EXPECT_EQ((std::vector<DWORD>{p.At(0, 0), p.At(1, 0), p.At(0, 1), p.At(1, 1)}),
                  (std::vector<DWORD>{0x0000FF, 0xFFFFFF, 0xFF0000, 0x00FF00}))
            << "with the PNG decoder's class: " << pngClass;
    }
}

BOOL CALLBACK AddId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids) {
    reinterpret_cast<std::vector<int>*>(ids)->push_back(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

TEST(Pictures, EachTheBuildDrewIsReadByTheMenuItselfPixelForPixelAsWicReadsIt) {
    ASSERT_TRUE(EnterComApartment());
    WicDecoders wic;
    ASSERT_TRUE(wic.Reach());
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    size_t read = 0;
    for (int dpi : forms::kDrawnDpis) {
        const std::wstring type = L"PNG" + std::to_wstring(dpi);
        std::vector<int> ids;
        EnumResourceNamesW(instance, type.c_str(), &AddId, reinterpret_cast<LONG_PTR>(&ids));
        ScaledPictures own(instance, dpi);
        for (int id : ids) {
            const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), type.c_str());
            const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(instance, found)));
            const OwnedBitmap mine = own.Load(id), theirs = wic.Decode(bytes, SizeofResource(instance, found));
            ASSERT_TRUE(mine && theirs) << id << " at " << dpi;
            EXPECT_TRUE(PixelsOf(mine.Get()).px == PixelsOf(theirs.Get()).px) << id << " at " << dpi;
        }
        EXPECT_FALSE(own.WicReached()) << "WIC reached for the build's pictures at " << dpi;
        read += ids.size();
    }
    EXPECT_GE(read, std::size(forms::kDrawnDpis) * 10);
    // One it refuses (tests/win32/refused_picture.rc) is WIC's.
    ScaledPictures other(instance, 100);
    const OwnedBitmap refused = other.Load(900);
    ASSERT_TRUE(refused) << "a picture the menu's reader refuses is not read by WIC";
    const Pixels p = PixelsOf(refused.Get());
    // (The fourth byte as WIC's converter leaves it, which GDI does not read.)
    EXPECT_EQ((std::vector<DWORD>{p.At(0, 0) & 0xFFFFFF, p.At(1, 0) & 0xFFFFFF}), (std::vector<DWORD>{0xFF0000, 0x0000FF}));
    EXPECT_TRUE(other.WicReached());
}

// The tile as the resources hold it, which a paint handler draws at its own size.
Pixels TilePixels() {
    const OwnedBitmap tile(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_PICTURE1), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    return tile ? PixelsOf(tile.Get()) : Pixels{};
}

// What a window (or, with none, the screen) shows from client pixel (x, 0), w x h.
Pixels Shown(HWND window, int x, int w, int h) {
    return Drawn(w, h, [&](HDC dc) {
        const WindowDC shown(GetDC(window), window);
        BitBlt(dc, 0, 0, w, h, shown.Get(), x, 0, SRCCOPY);
    });
}

constexpr int kTileX = 120;  // where the tests draw the tile: clear of the face and the button

TEST(Window, ThePaintHandlersPicturesLandWhereTheWindowIsPaintedAndStayInItsDrawnLayer) {
    // The window is painted bare; then the paint handler draws the tile, and only the
    // left half of where it lies changes. Uncovered, the window shows what was drawn.
    Recorder r;
    const Pixels own = TilePixels();
    ASSERT_GT(own.w, 0);
    ASSERT_LE(kTileX + own.w, 200) << "the tile reaches past the window";
    Pixels shown;
    RECT area{};
    WithWindow(r, [&](FormSite& site, FormRuntime& runtime) {
        ShowWindow(site.window, SW_SHOWNOACTIVATE);
        UpdateWindow(site.window);
        r.onPaint = [&] { runtime.PaintPicture({kTile}, kTileX * 15.0f, 0, own.w * 15.0f, own.h * 15.0f); };
        area = {kTileX, 0, kTileX + own.w / 2, own.h};
        site.Redraw(area);
        UpdateWindow(site.window);
        InvalidateRect(site.window, nullptr, FALSE);
        UpdateWindow(site.window);
        shown = Shown(site.window, 0, kTileX + own.w, own.h);
    });
    ASSERT_EQ(shown.w, kTileX + own.w);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const DWORD bare = GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face);
    int wrong = 0;
    for (int y = 0; y < own.h; ++y)
        for (int i = 0; i < own.w; ++i)
            wrong += shown.At(kTileX + i, y) != (kTileX + i < area.right ? own.At(i, y) : bare);
    EXPECT_EQ(wrong, 0);
}

TEST(Window, APicturePartlyCoveredByOneInFrontIsDrawnWhereItShows) {
    // The same tile twice, stretched to 40 pixels, the second 20 pixels right of the
    // first and in front of it: the first shows its left half, as the second shows it.
    static constexpr ControlSpec kPair[] = {
        {"Back", kNoIndex, ControlKind::Image, {1800, 0, 600, 600}, true, MousePointer::Default, IDB_PICTURE1, 0,
         nullptr, {}, true},
        {"Front", kNoIndex, ControlKind::Image, {2100, 0, 600, 600}, true, MousePointer::Default, IDB_PICTURE1, 0,
         nullptr, {}, true},
    };
    static constexpr FormSpec kPairForm{"TestForm", L"Win32 layer test", 3000, 2000, IDI_FILE_ICON_GROUP,
                                        FormPointer::Crosshair, {}, kPair, {}};
    Recorder r;
    r.layout = &kPairForm;
    Pixels shown;
    WithWindow(r, [&](FormSite& site) {
        ShowWindow(site.window, SW_SHOWNOACTIVATE);
        UpdateWindow(site.window);
        shown = Shown(site.window, 120, 60, 40);
    });
    ASSERT_EQ(shown.w, 60);
    int wrong = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 20; ++x) wrong += shown.At(x, y) != shown.At(x + 20, y);
    EXPECT_EQ(wrong, 0) << "the picture behind is not drawn where it shows";
}

TEST(Window, APaintInsideAPaintHandlerThatLetsEventsRunIsDrawnAndTheHandlersLaterPicturesStay) {
    // The handler lets a paint of the corner run inside its own, then draws the tile
    // there and beside: the tile lands in the outer paint, not on the window under its
    // blit, and the corner's paint draws its own area; uncovered, the window shows both.
    Recorder r;
    const Pixels own = TilePixels();
    ASSERT_GT(own.w, 0);
    constexpr int kCorner = 5;
    Pixels ended, uncovered, corner;
    int nested = 0;
    WithWindow(r, [&](FormSite& site, FormRuntime& runtime) {
        ShowWindow(site.window, SW_SHOWNOACTIVATE);
        UpdateWindow(site.window);
        r.onPaint = [&] {
            if (!nested++) {
                RECT area{0, 0, kCorner, kCorner};
                site.Redraw(area);
                InvalidateRect(site.window, &area, FALSE);
                runtime.DoEvents();
            }
            for (const float x : {0.0f, kTileX * 15.0f}) runtime.PaintPicture({kTile}, x, 0, own.w * 15.0f, own.h * 15.0f);
        };
        RECT area{kTileX, 0, kTileX + own.w, own.h};
        site.Redraw(area);
        InvalidateRect(site.window, &area, FALSE);
        UpdateWindow(site.window);
        ended = Shown(site.window, kTileX, own.w, own.h);
        r.onPaint = [] {};
        InvalidateRect(site.window, nullptr, FALSE);  // uncovered: the drawn layer again, nothing changed
        UpdateWindow(site.window);
        uncovered = Shown(site.window, kTileX, own.w, own.h);
        corner = Shown(site.window, 0, kCorner, kCorner);
    });
    ASSERT_EQ(nested, 2) << "no paint ran inside the handler's";
    ASSERT_EQ(ended.w, own.w);
    EXPECT_TRUE(ended.px == own.px) << "the tile is not on the window as the outer paint ends";
    EXPECT_TRUE(uncovered.px == own.px) << "the tile is not in the drawn layer";
    int wrong = 0;
    for (int y = 0; y < kCorner; ++y)
        for (int x = 0; x < kCorner; ++x) wrong += corner.At(x, y) != own.At(x, y);
    EXPECT_EQ(wrong, 0) << "the corner painted inside the paint is not in the drawn layer";
}

TEST(Window, APictureDrawnOutsideAPaintLandsOnTheWindowAndWithTheWindowGoneNowhere) {
    // Outside a paint a handler's picture goes straight onto the window; once the window
    // is gone, onto nothing: not the screen, whose corner a drawing with no window hits.
    Recorder r;
    const Pixels own = TilePixels();
    ASSERT_GT(own.w, 0);
    Pixels window, before, after;
    WithWindow(r, [&](FormSite& site, FormRuntime& runtime) {
        // Away from the screen's corner, which then shows the desktop once it has settled.
        SetWindowPos(site.window, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(site.window, SW_SHOWNOACTIVATE);
        UpdateWindow(site.window);
        const auto draw = [&] {
            runtime.PaintPicture({kTile}, kTileX * 15.0f, 0, own.w * 15.0f, own.h * 15.0f);
            GdiFlush();
        };
        draw();
        window = Shown(site.window, kTileX, own.w, own.h);
        runtime.Unload();
        ASSERT_EQ(site.window, nullptr) << "unloaded, the window is gone";
        for (int look = 0; look < 50; ++look) {
            before = Shown(nullptr, kTileX, own.w, own.h);
            Sleep(100);
            if (Shown(nullptr, kTileX, own.w, own.h).px == before.px) break;
        }
        draw();
        after = Shown(nullptr, kTileX, own.w, own.h);
    });
    ASSERT_EQ(window.w, own.w);
    EXPECT_TRUE(window.px == own.px) << "drawn outside a paint, the picture is not on the window";
    ASSERT_EQ(after.w, own.w);
    EXPECT_TRUE(after.px == before.px) << "with the window gone, the picture was drawn on the screen";
}

// The exit button as the menu's window draws it once moved to a density, at its size there.
Pixels Button(int dpi, UINT state, bool cue) {
    const ControlSpec& button = MenuControl(chooser::kCommand1);
    Recorder menu;
    menu.layout = &chooser::kFrmAutoSelect;
    Pixels drawn;
    WithWindow(menu, [&](FormWindow& window, FormRuntime&) {
        const auto draw = [&] {
            const PixelRect r = window.Site().PixelsOf(button.rect);
            return Drawn(r.w, r.h, [&](HDC dc) {
                DRAWITEMSTRUCT item{};
                item.CtlType = ODT_BUTTON;
                item.hDC = dc;
                item.rcItem = {0, 0, r.w, r.h};
                item.itemState = state;
                window.Painter().DrawButton(item, button, cue);
            });
        };
        draw();  // where it opened, before the move: nothing of that may stay
        SIZE size{};
        MoveToScale(window.Site().window, dpi, size);
        drawn = draw();
    });
    return drawn;
}

TEST(Button, At200PercentItsEdgeAndFocusCueAreThe100PercentOnesTwiceAsWideAndItsPictureThe200PercentOne) {
    const OwnedBitmap drawn = ScaledPictures(GetModuleHandleW(nullptr), 192).Load(MenuControl(chooser::kCommand1).picture);
    ASSERT_TRUE(drawn) << "no 192-dpi picture of the button";
    const Pixels picture = PixelsOf(drawn.Get());
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
        const Pixels small = Button(96, state, true), smallBare = Button(96, state, false);
        const Pixels big = Button(192, state, true), bigBare = Button(192, state, false);
        ASSERT_EQ(big.w, 2 * small.w);
        ASSERT_EQ(big.h, 2 * small.h);
        // Centred on the button, two pixels further when pushed, cut off at the face inside the edge.
        const int shift = state ? 2 : 0;
        const int px = (big.w - picture.w) / 2 + shift, py = (big.h - picture.h) / 2 + shift;
        int edge = 0, cue = 0, face = 0;
        for (int y = 0; y < big.h; ++y) {
            for (int x = 0; x < big.w; ++x) {
                // The raised (or pushed) edge: two bands of two pixels, each pixel the one it enlarges.
                const bool inEdge = x < 4 || y < 4 || x >= big.w - 4 || y >= big.h - 4;
                if (inEdge && big.At(x, y) != small.At(x / 2, y / 2)) ++edge;
                // The cue: what it inverts, in squares of two pixels where the 96-dpi one inverts a pixel;
                // not at its corners, which Wine's DrawFocusRect inverts twice and Windows' once.
                const bool corner = (x / 2 == 4 || x / 2 == small.w - 5) && (y / 2 == 4 || y / 2 == small.h - 5);
                const bool inverted = big.At(x, y) != bigBare.At(x, y);
                if (!corner && inverted != (small.At(x / 2, y / 2) != smallBare.At(x / 2, y / 2))) ++cue;
                const bool onPicture = x >= px && y >= py && x < px + picture.w && y < py + picture.h;
                if (!inEdge && onPicture && bigBare.At(x, y) != picture.At(x - px, y - py)) ++face;
            }
        }
        EXPECT_EQ(edge, 0) << "pushed " << state;
        EXPECT_EQ(cue, 0) << "pushed " << state;
        EXPECT_EQ(face, 0) << "pushed " << state;
    }
}

// 0xRRGGBB of a system colour, as Pixels holds a pixel.
DWORD SystemColour(int index) {
    const COLORREF c = GetSysColor(index);
    return static_cast<DWORD>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

TEST(Button, AtEachDensityItsEdgeCueAndPushedPictureAreAsWideAsA96DpiPixelIsThere) {
    // `band`: a 96-dpi pixel at the density, to the nearest (MulDiv), at least one.
    const struct {
        int dpi, band;
    } cases[] = {{120, 1}, {144, 2}, {168, 2}, {192, 2}, {240, 3}, {288, 3}, {336, 4}};
    for (const auto& c : cases) {
        const int b = c.band;
        const Pixels up = Button(c.dpi, 0, false), down = Button(c.dpi, ODS_SELECTED, false);
        const Pixels cued = Button(c.dpi, 0, true);
        const std::string at = " at " + std::to_string(c.dpi) + " dpi";
        // The edge, across the middle of each side: the outer band, then the inner one, each `band` wide.
        const struct {
            const Pixels& p;
            int outerTopLeft, innerTopLeft, outerBottomRight, innerBottomRight;
        } edges[] = {{up, COLOR_3DHILIGHT, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DSHADOW},
                     {down, COLOR_3DDKSHADOW, COLOR_3DSHADOW, COLOR_3DHILIGHT, COLOR_3DLIGHT}};
        for (const auto& e : edges) {
            const Pixels& p = e.p;
            const char* which = &e == edges ? "raised" : "pushed";
            for (int i = 0; i < 2 * b; ++i) {
                const DWORD topLeft = SystemColour(i < b ? e.outerTopLeft : e.innerTopLeft);
                const DWORD bottomRight = SystemColour(i < b ? e.outerBottomRight : e.innerBottomRight);
                EXPECT_EQ(p.At(p.w / 2, i), topLeft) << which << " top, row " << i << at;
                EXPECT_EQ(p.At(i, p.h / 2), topLeft) << which << " left, column " << i << at;
                EXPECT_EQ(p.At(p.w / 2, p.h - 1 - i), bottomRight) << which << " bottom, row " << i << at;
                EXPECT_EQ(p.At(p.w - 1 - i, p.h / 2), bottomRight) << which << " right, column " << i << at;
            }
        }
        // Pushed, the picture moves right and down by a band, cut off at the same face.
        int moved = 0;
        for (int y = 3 * b; y < up.h - 2 * b; ++y)
            for (int x = 3 * b; x < up.w - 2 * b; ++x) moved += down.At(x, y) != up.At(x - b, y - b);
        EXPECT_EQ(moved, 0) << "pushed picture" << at;
        if (b == 1) continue;  // the system's cue, whose corners Wine and Windows invert differently
        // The cue: a line `band` wide, 4 bands in from the edges, of band-square dots on the
        // grid of the button's corner, the first set; its corners inverted once, like its sides.
        int wrong = 0;
        for (int y = 0; y < up.h; ++y) {
            for (int x = 0; x < up.w; ++x) {
                const bool inside = x >= 4 * b && y >= 4 * b && x < up.w - 4 * b && y < up.h - 4 * b;
                const bool line = inside && (x < 5 * b || y < 5 * b || x >= up.w - 5 * b || y >= up.h - 5 * b);
                const bool dot = line && (x / b + y / b) % 2 == 0;
                wrong += (cued.At(x, y) != up.At(x, y)) != dot;
            }
        }
        EXPECT_EQ(wrong, 0) << "focus cue" << at;
    }
}

// Stand-ins for the functions a window's density is read with, as an older Windows has them.
struct Stand {
    UINT forWindow = 0;
    int awareness = kPerMonitorDpiAware;
    HRESULT awarenessRead = S_OK;
    UINT forMonitor = 0;
    HRESULT monitorRead = S_OK;
    // What the monitor's density was asked with.
    HMONITOR monitor = nullptr;
    DWORD monitorFlags = ~0u;
    int type = -1;
};
Stand g_stand;

UINT WINAPI StandDpiForWindow(HWND) { return g_stand.forWindow; }
HRESULT WINAPI StandAwareness(HANDLE, int* awareness) {
    *awareness = g_stand.awareness;
    return g_stand.awarenessRead;
}
HMONITOR WINAPI StandMonitorFromWindow(HWND window, DWORD flags) {
    g_stand.monitorFlags = flags;
    return MonitorFromWindow(window, flags);
}
HRESULT WINAPI StandDpiForMonitor(HMONITOR monitor, int type, UINT* x, UINT* y) {
    g_stand.monitor = monitor;
    g_stand.type = type;
    *x = *y = g_stand.forMonitor;
    return g_stand.monitorRead;
}

TEST(Density, AWindowsDensityIsItsOwnElseItsMonitorsWhenAwareOfItElseTheScreens) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const int screen = ScreenDpi();
    ASSERT_TRUE(screen != 144 && screen != 168) << "the stand-ins' densities must differ from the screen's";
    const DensitySources all{StandDpiForWindow, StandAwareness, StandMonitorFromWindow, StandDpiForMonitor};
    const DensitySources before81{nullptr, nullptr, nullptr, nullptr};
    DensitySources onlyMonitors = all;
    onlyMonitors.dpiForWindow = nullptr;
    const struct {
        const char* windows;
        DensitySources sources;
        Stand stand;
        int dpi;  // 0: the screen's
    } cases[] = {
        {"10 1607 on", all, {168, kPerMonitorDpiAware, S_OK, 144, S_OK}, 168},
        {"10 1607 on, the window's unknown", all, {0, kPerMonitorDpiAware, S_OK, 144, S_OK}, 144},
        {"8.1, aware of each monitor", onlyMonitors, {0, kPerMonitorDpiAware, S_OK, 144, S_OK}, 144},
        {"8.1, aware of the system's only", onlyMonitors, {0, 1, S_OK, 144, S_OK}, 0},
        {"8.1, unaware", onlyMonitors, {0, 0, S_OK, 144, S_OK}, 0},
        {"8.1, the awareness unknown", onlyMonitors, {0, kPerMonitorDpiAware, E_FAIL, 144, S_OK}, 0},
        {"8.1, the monitor's unknown", onlyMonitors, {0, kPerMonitorDpiAware, S_OK, 144, E_FAIL}, 0},
        {"Vista to 8", before81, {}, 0},
    };
    for (const auto& c : cases) {
        g_stand = c.stand;
        EXPECT_EQ(WindowDpi(window, c.sources), c.dpi ? c.dpi : screen) << c.windows;
        if (c.dpi == 144) {
            // The density Windows scales the window's monitor to, the nearest monitor's if it is on none.
            EXPECT_EQ(g_stand.monitorFlags, static_cast<DWORD>(MONITOR_DEFAULTTONEAREST)) << c.windows;
            EXPECT_EQ(g_stand.monitor, MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)) << c.windows;
            EXPECT_EQ(g_stand.type, kEffectiveDpi) << c.windows;
        }
    }
    // The system's own, found by their names: each way gives the window's density.
    const DensitySources system{nullptr, api::GetProcessDpiAwareness.Get(), api::MonitorFromWindow.Get(),
                                api::GetDpiForMonitor.Get()};
    ASSERT_NE(system.processDpiAwareness, nullptr);
    ASSERT_NE(system.monitorFromWindow, nullptr);
    ASSERT_NE(system.dpiForMonitor, nullptr);
    ASSERT_NE(SystemDensitySources().dpiForWindow, nullptr);
    EXPECT_EQ(WindowDpi(window, system), WindowDpi(window));
    DestroyWindow(window);
}

}  // namespace
