// A form's real window with a layout of its own and recording handlers: the
// capture a press leaves behind, the keys at a push button, the presses
// dropped while a start runs and after a declined prompt, a move to a monitor of
// another scale, the menu's window and pictures at each density, and where a
// window's density is read on each Windows. Messages are sent to the window
// directly, so nothing else on the screen takes part. The system's start of a
// program is stood in for: how a start ends is the test's to say.
#include <gtest/gtest.h>

#include <functional>
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
    const FormSpec* layout = &kForm;
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

    std::string Name(ControlId id) const {
        return id == kFormItself ? "form" : ControlName(layout->controls[id].name, layout->controls[id].index);
    }
};

// Runs the window until its load step, where `script` runs; then it is unloaded.
void WithWindow(Recorder& handlers, const std::function<void(FormSite&, FormRuntime&)>& script) {
    FormWindow window({GetModuleHandleW(nullptr), L"Win32 layer test", L"Win32LayerTestForm", L"Win32LayerTestOwner"},
                      *handlers.layout);
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
        const Pixels want = Drawn(p.size.cx, p.size.cy, [&](HDC dc) {
            HDC source = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(source, from.Get());
            const Pixels own = PixelsOf(from.Get());
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, 0, 0, p.size.cx, p.size.cy, source, 0, 0, own.w, own.h, SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
        });
        EXPECT_TRUE(PixelsOf(p.bitmap).px == want.px) << name;
    }
}

// The exit button as the painter draws it at a density, at its size there.
Pixels Button(FormPainter& painter, int dpi, UINT state, bool cue) {
    const ControlSpec& button = MenuControl(chooser::kCommand1);
    painter.SetDensity(dpi);
    const PixelRect r = ToPixels(button.rect, dpi);
    return Drawn(r.w, r.h, [&](HDC dc) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.hDC = dc;
        item.rcItem = {0, 0, r.w, r.h};
        item.itemState = state;
        painter.DrawButton(item, button, cue);
    });
}

TEST(Button, At200PercentItsEdgeAndFocusCueAreThe100PercentOnesTwiceAsWide) {
    FormPainter painter(GetModuleHandleW(nullptr), chooser::kFrmAutoSelect);
    painter.Load();
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
        const Pixels small = Button(painter, 96, state, true), smallBare = Button(painter, 96, state, false);
        const Pixels big = Button(painter, 192, state, true), bigBare = Button(painter, 192, state, false);
        ASSERT_EQ(big.w, 2 * small.w);
        ASSERT_EQ(big.h, 2 * small.h);
        int edge = 0, cue = 0;
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
            }
        }
        EXPECT_EQ(edge, 0) << "pushed " << state;
        EXPECT_EQ(cue, 0) << "pushed " << state;
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
