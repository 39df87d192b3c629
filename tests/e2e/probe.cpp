// Looks at windows from inside Wine for the end-to-end tests and prints what
// it finds as JSON on standard output.
//   probe windows <title>   every top-level window with that exact title
//   probe dialog <title>    message boxes with that title: texts, buttons, icon, owner
//   probe command <hwnd> <id>  posts WM_COMMAND id to a window (dismisses a box)
//   probe send <hwnd> bn-clicked|bm-click|close [post]  what another program may send a
//                           window: a click of its first push button (the button's
//                           notification to the window, or BM_CLICK to the button) or
//                           WM_CLOSE; sent (and waited for, up to 30 s) unless `post`
//   probe screen            the primary screen's size
//   probe dpi               the display density a program is told
//   probe accessible <hwnd> the client area's accessible object and its children, through
//                           AccessibleObjectFromWindow, as a screen reader reads them
//   probe accessible-do <hwnd> <child>  that child's default action, and what the call returned
//   probe focus-events <pid> <folder>  the focus events a screen reader hears from that
//                           process: writes <folder>/ready once it listens, and, once
//                           <folder>/stop exists, <folder>/events.json
//   probe redraw <hwnd> [n] asks a window to repaint all of itself (n times, each waited for)
//   probe dpi-changed <hwnd> <from> <to>  what Windows sends a window moved to a monitor of
//                           density <to>: WM_DPICHANGED with its rectangle scaled from <from>
//   probe gui <pid>         the GDI and USER object counts of a process
//   probe cover <x> <y> <w> <h>  a white topmost window there, until the probe is ended
//   probe hold mutex-locked|event <name> <ready-file>  holds a named object until ended:
//                           a mutex with an empty DACL (what a copy running elevated
//                           looks like to others) or an event; writes the file once it does
//   probe framed <title>    a window framed like the menu's whose window menu lacks Close
//                           and the separator before it (found by command), until ended
//   probe render-line <file> <caption>  the menu's bottom line (its two labels),
//                           drawn the way the menu draws labels, as raw RGB
//   probe render-label <file> <face> <font height> <weight> <width> <height> <text>
//                           one label of that size so drawn, in that face at that
//                           height in pixels, as raw RGB
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>
#include <vector>

#include "json_text.h"

namespace {

std::wstring Text(HWND w) {
    wchar_t buffer[4096] = {};
    GetWindowTextW(w, buffer, 4096);
    return buffer;
}

std::wstring ClassOf(HWND w) {
    wchar_t buffer[256] = {};
    GetClassNameW(w, buffer, 256);
    return buffer;
}

struct Search {
    std::wstring title;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    if (Text(w) == s->title) s->found.push_back(w);
    return TRUE;
}

std::vector<HWND> TopLevel(const std::wstring& title) {
    Search search{title, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string RectJson(const RECT& r) {
    char b[96];
    std::snprintf(b, sizeof b, "[%ld, %ld, %ld, %ld]", r.left, r.top, r.right, r.bottom);
    return b;
}

std::string MenuJson(HWND w) {
    HMENU menu = GetSystemMenu(w, FALSE);
    std::string out = "[";
    const int n = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < n; ++i) {
        wchar_t label[256] = {};
        GetMenuStringW(menu, i, label, 256, MF_BYPOSITION);
        char id[32];
        std::snprintf(id, sizeof id, "%u", GetMenuItemID(menu, i));
        out += std::string(i ? ", " : "") + "{\"id\": " + id + ", \"text\": " + json_text::Quoted(label) + "}";
    }
    return out + "]";
}

void PrintWindow(HWND w, bool first) {
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(w, &pid);
    RECT outer{}, client{};
    GetWindowRect(w, &outer);
    GetClientRect(w, &client);
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(thread, &gui);
    std::printf("%s{\"hwnd\": %llu, \"pid\": %lu, \"class\": %s, \"visible\": %s, \"rect\": %s, "
                "\"client\": [%ld, %ld, %ld, %ld], \"style\": %lu, \"exstyle\": %lu, \"owner\": %llu, "
                "\"focus_class\": %s, \"active\": %s, \"sysmenu\": %s, \"painted\": %s}",
                first ? "" : ", ", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)), pid,
                json_text::Quoted(ClassOf(w)).c_str(), IsWindowVisible(w) ? "true" : "false", RectJson(outer).c_str(),
                origin.x, origin.y, client.right, client.bottom, static_cast<unsigned long>(GetWindowLongW(w, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongW(w, GWL_EXSTYLE)),
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetWindow(w, GW_OWNER))),
                json_text::Quoted(gui.hwndFocus ? ClassOf(gui.hwndFocus) : L"").c_str(),
                gui.hwndActive == w ? "true" : "false", MenuJson(w).c_str(),
                // Nothing left to paint: a window just shown is still its blank surface.
                GetUpdateRect(w, nullptr, FALSE) ? "false" : "true");
}

void PrintDialog(HWND w, bool first) {
    std::string texts = "[", buttons = "[";
    bool icon = false;
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const std::wstring cls = ClassOf(c);
        const LONG style = GetWindowLongW(c, GWL_STYLE);
        if (_wcsicmp(cls.c_str(), L"Button") == 0) {
            buttons += std::string(buttons.size() > 1 ? ", " : "") + json_text::Quoted(Text(c));
        } else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            if ((style & SS_TYPEMASK) == SS_ICON) {
                icon = icon || SendMessageW(c, STM_GETICON, 0, 0) != 0;
            } else if (!Text(c).empty()) {
                texts += std::string(texts.size() > 1 ? ", " : "") + json_text::Quoted(Text(c));
            }
        }
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    std::printf("%s{\"hwnd\": %llu, \"pid\": %lu, \"visible\": %s, \"texts\": %s], \"buttons\": %s], \"icon\": %s, "
                "\"owner\": %llu}",
                first ? "" : ", ", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)), pid,
                IsWindowVisible(w) ? "true" : "false", texts.c_str(), buttons.c_str(), icon ? "true" : "false",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetWindow(w, GW_OWNER))));
}

struct Placed {
    RECT place;
    std::wstring words;
};

// Draws texts the way the menu draws labels (white, word-wrapped, on the navy
// background), in `face` at `fontHeight` pixels, and writes the width x height
// result as raw RGB: the reference for a crop of the screen.
bool RenderTexts(const wchar_t* file, int width, int height, const wchar_t* face, int fontHeight, int weight,
                 const std::vector<Placed>& texts) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) {
        std::fprintf(stderr, "render: no bitmap (error %lu)\n", GetLastError());
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return false;
    }
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HFONT font = CreateFontW(-fontHeight, 0, 0, 0, weight, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
    HGDIOBJ oldFont = SelectObject(dc, font);
    RECT all{0, 0, width, height};
    HBRUSH navy = CreateSolidBrush(RGB(0, 38, 101));
    FillRect(dc, &all, navy);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    for (Placed text : texts) {
        if (!text.words.empty())
            DrawTextW(dc, text.words.c_str(), static_cast<int>(text.words.size()), &text.place,
                      DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    }
    GdiFlush();
    std::string rgb;
    const auto* px = static_cast<const unsigned char*>(bits);
    for (int i = 0; i < width * height; ++i) {
        rgb += static_cast<char>(px[4 * i + 2]);
        rgb += static_cast<char>(px[4 * i + 1]);
        rgb += static_cast<char>(px[4 * i]);
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(font);
    DeleteObject(navy);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    // A failure says where and why: the test that asked has only this to go by.
    HANDLE out = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "render: cannot create %ls (error %lu)\n", file, GetLastError());
        return false;
    }
    DWORD written = 0;
    const bool ok = WriteFile(out, rgb.data(), static_cast<DWORD>(rgb.size()), &written, nullptr);
    if (!ok || written != rgb.size())
        std::fprintf(stderr, "render: wrote %lu of %zu bytes (error %lu)\n", written, rgb.size(), GetLastError());
    CloseHandle(out);
    return ok && written == rgb.size();
}

// The menu's bottom line at 96 dpi: its two labels, 361 x 25 pixels.
bool RenderLine(const wchar_t* file, const std::wstring& caption) {
    HDC screen = GetDC(nullptr);
    const int fontHeight = MulDiv(825, GetDeviceCaps(screen, LOGPIXELSY), 7200);
    ReleaseDC(nullptr, screen);
    return RenderTexts(file, 361, 25, L"MS Sans Serif", fontHeight, 700,
                       {{{0, 0, 161, 25}, L"Your operating system is : "}, {{152, 0, 361, 25}, caption}});
}

std::string Bstr(BSTR b) {
    std::string out = json_text::Quoted(b ? std::wstring(b, SysStringLen(b)) : std::wstring());
    SysFreeString(b);
    return out;
}

IAccessible* ClientObject(HWND w) {
    IAccessible* object = nullptr;
    const HRESULT hr = AccessibleObjectFromWindow(w, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                  reinterpret_cast<void**>(&object));
    if (FAILED(hr)) {
        std::fprintf(stderr, "AccessibleObjectFromWindow: 0x%08lx\n", static_cast<unsigned long>(hr));
        return nullptr;
    }
    return object;
}

std::string ItemJson(IAccessible* object, LONG id) {
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = id;
    BSTR name = nullptr, description = nullptr, action = nullptr;
    VARIANT role, state;
    role.vt = state.vt = VT_EMPTY;
    object->get_accName(child, &name);
    object->get_accDescription(child, &description);
    object->get_accDefaultAction(child, &action);
    object->get_accRole(child, &role);
    object->get_accState(child, &state);
    LONG x = 0, y = 0, w = 0, h = 0;
    object->accLocation(&x, &y, &w, &h, child);
    char location[96];
    std::snprintf(location, sizeof location, "[%ld, %ld, %ld, %ld]", x, y, w, h);
    return "{\"id\": " + std::to_string(id) + ", \"name\": " + Bstr(name) + ", \"description\": " +
           Bstr(description) + ", \"action\": " + Bstr(action) + ", \"role\": " +
           std::to_string(role.vt == VT_I4 ? role.lVal : -1) + ", \"state\": " +
           std::to_string(state.vt == VT_I4 ? state.lVal : -1) + ", \"location\": " + location + "}";
}

int Accessible(HWND w) {
    IAccessible* object = ClientObject(w);
    if (!object) return 1;
    LONG count = 0;
    object->get_accChildCount(&count);
    std::string out = "{\"self\": " + ItemJson(object, CHILDID_SELF) + ", \"children\": [";
    for (LONG i = 1; i <= count; ++i) out += (i > 1 ? ", " : "") + ItemJson(object, i);
    VARIANT hit;
    hit.vt = VT_EMPTY;
    RECT r;
    GetClientRect(w, &r);
    POINT centre{r.right / 2, r.bottom / 2};
    ClientToScreen(w, &centre);
    object->accHitTest(centre.x, centre.y, &hit);
    std::printf("%s], \"count\": %ld, \"hit_at_centre\": %ld}\n", out.c_str(), count,
                hit.vt == VT_I4 ? hit.lVal : -1L);
    object->Release();
    return 0;
}

int AccessibleDo(HWND w, LONG id) {
    IAccessible* object = ClientObject(w);
    if (!object) return 1;
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = id;
    const HRESULT hr = object->accDoDefaultAction(child);
    // Said before the release, itself a call that waits while the menu's thread is busy.
    std::printf("{\"hresult\": %ld}\n", static_cast<long>(hr));
    std::fflush(stdout);
    object->Release();
    return 0;
}

std::string focusEvents;

void CALLBACK OnFocusEvent(HWINEVENTHOOK, DWORD, HWND w, LONG object, LONG child, DWORD, DWORD) {
    focusEvents += std::string(focusEvents.empty() ? "" : ", ") + "{\"hwnd\": " +
                   std::to_string(reinterpret_cast<UINT_PTR>(w)) + ", \"object\": " + std::to_string(object) +
                   ", \"child\": " + std::to_string(child) + "}";
}

bool Touch(const std::wstring& path, const std::string& text = "") {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return true;
}

int FocusEvents(DWORD pid, const std::wstring& folder) {
    // Out of context, as a screen reader in another process listens.
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnFocusEvent, pid, 0,
                                         WINEVENT_OUTOFCONTEXT);
    if (!hook || !Touch(folder + L"\\ready")) return 1;
    const std::wstring stop = folder + L"\\stop";
    MSG msg;
    while (GetFileAttributesW(stop.c_str()) == INVALID_FILE_ATTRIBUTES) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    UnhookWinEvent(hook);
    return Touch(folder + L"\\events.json", "[" + focusEvents + "]\n") ? 0 : 1;
}

// A plain white window of the probe's own; nullptr where it cannot be made.
HWND MakeWindow(DWORD exStyle, DWORD style, const wchar_t* title, int x, int y, int w, int h) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = DefWindowProcW;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    cls.lpszClassName = L"ProbeWindow";
    RegisterClassW(&cls);  // fails harmlessly when already registered
    return CreateWindowExW(exStyle, cls.lpszClassName, title, style | WS_VISIBLE, x, y, w, h, nullptr, nullptr,
                           cls.hInstance, nullptr);
}

// Runs the probe's windows until the probe is ended.
int RunWindows() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

// Wine never sends WM_DPICHANGED. Its rectangle goes by pointer, so it is
// written into the window's process, and at the same address here, in case
// the message is copied across as a known one.
int DpiChanged(HWND w, int from, int to) {
    RECT r{};
    DWORD pid = 0;
    if (from <= 0 || !GetWindowRect(w, &r) || !GetWindowThreadProcessId(w, &pid)) return 1;
    const RECT suggested{r.left, r.top, r.left + MulDiv(r.right - r.left, to, from),
                         r.top + MulDiv(r.bottom - r.top, to, from)};
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    void* remote = process ? VirtualAllocEx(process, nullptr, sizeof suggested, MEM_RESERVE | MEM_COMMIT,
                                            PAGE_READWRITE)
                           : nullptr;
    if (!remote || !WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr)) return 1;
    if (void* here = VirtualAlloc(remote, sizeof suggested, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE))
        CopyMemory(here, &suggested, sizeof suggested);
    DWORD_PTR result = 0;
    const bool sent = SendMessageTimeoutW(w, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(to, to),
                                          reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 30000, &result);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    std::printf("{\"suggested\": %s}\n", RectJson(suggested).c_str());
    return sent ? 0 : 1;
}

// The window's first push button; nullptr where it has none.
HWND FirstButton(HWND w) {
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (_wcsicmp(ClassOf(c).c_str(), L"Button") == 0) return c;
    }
    return nullptr;
}

int Send(HWND w, const std::wstring& what, bool post) {
    HWND button = FirstButton(w);
    HWND to = w;
    UINT msg = WM_CLOSE;
    WPARAM wp = 0;
    LPARAM lp = 0;
    if (what == L"bn-clicked" && button) {
        msg = WM_COMMAND;
        wp = MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED);
        lp = reinterpret_cast<LPARAM>(button);
    } else if (what == L"bm-click" && button) {
        to = button;
        msg = BM_CLICK;
    } else if (what != L"close") {
        std::fprintf(stderr, "send: no push button in the window, or no such message\n");
        return 1;
    }
    DWORD_PTR result = 0;
    const bool done = post ? PostMessageW(to, msg, wp, lp) != FALSE
                           : SendMessageTimeoutW(to, msg, wp, lp, SMTO_NORMAL, 30000, &result) != 0;
    std::printf("{\"done\": %s}\n", done ? "true" : "false");
    return 0;
}

int Cover(int x, int y, int w, int h) {
    return MakeWindow(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WS_POPUP, L"cover", x, y, w, h) ? RunWindows() : 1;
}

int Framed(const wchar_t* title) {
    HWND w = MakeWindow(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, title, 100,
                        100, 400, 300);
    if (!w) return 1;
    HMENU menu = GetSystemMenu(w, FALSE);
    for (int i = GetMenuItemCount(menu) - 1; i > 0; --i) {
        if (GetMenuItemID(menu, i) != SC_CLOSE) continue;
        DeleteMenu(menu, i, MF_BYPOSITION);
        if (GetMenuState(menu, i - 1, MF_BYPOSITION) & MF_SEPARATOR) DeleteMenu(menu, i - 1, MF_BYPOSITION);
    }
    return RunWindows();
}

int Hold(const std::wstring& kind, const wchar_t* name, const wchar_t* ready) {
    HANDLE object = nullptr;
    if (kind == L"mutex-locked") {
        // No entry in the DACL: no other process may open it.
        SECURITY_DESCRIPTOR sd;
        ACL acl;
        if (!InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) ||
            !InitializeAcl(&acl, sizeof acl, ACL_REVISION) || !SetSecurityDescriptorDacl(&sd, TRUE, &acl, FALSE))
            return 1;
        SECURITY_ATTRIBUTES sa{sizeof sa, &sd, FALSE};
        object = CreateMutexW(&sa, FALSE, name);
    } else if (kind == L"event") {
        object = CreateEventW(nullptr, TRUE, FALSE, name);
    }
    if (!object || GetLastError() == ERROR_ALREADY_EXISTS) return 1;
    HANDLE file = CreateFileW(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(file);
    Sleep(INFINITE);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring verb = argc > 1 ? argv[1] : L"";
    if (verb == L"windows" && argc == 3) {
        std::printf("[");
        bool first = true;
        for (HWND w : TopLevel(argv[2])) {
            PrintWindow(w, first);
            first = false;
        }
        std::printf("]\n");
        return 0;
    }
    if (verb == L"dialog" && argc == 3) {
        std::printf("[");
        bool first = true;
        for (HWND w : TopLevel(argv[2])) {
            if (ClassOf(w) != L"#32770") continue;
            PrintDialog(w, first);
            first = false;
        }
        std::printf("]\n");
        return 0;
    }
    if (verb == L"command" && argc == 4) {
        const HWND w = reinterpret_cast<HWND>(static_cast<UINT_PTR>(_wcstoui64(argv[2], nullptr, 10)));
        return PostMessageW(w, WM_COMMAND, static_cast<WPARAM>(_wtoi(argv[3])), 0) ? 0 : 1;
    }
    if (verb == L"send" && (argc == 4 || (argc == 5 && std::wstring(argv[4]) == L"post"))) {
        const HWND w = reinterpret_cast<HWND>(static_cast<UINT_PTR>(_wcstoui64(argv[2], nullptr, 10)));
        return Send(w, argv[3], argc == 5);
    }
    if (verb == L"screen") {
        std::printf("[%d, %d]\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return 0;
    }
    if (verb == L"accessible" && argc == 3) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        return Accessible(reinterpret_cast<HWND>(static_cast<INT_PTR>(_wtoi64(argv[2]))));
    }
    if (verb == L"accessible-do" && argc == 4) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        return AccessibleDo(reinterpret_cast<HWND>(static_cast<INT_PTR>(_wtoi64(argv[2]))), _wtoi(argv[3]));
    }
    if (verb == L"focus-events" && argc == 4) return FocusEvents(static_cast<DWORD>(_wtoi(argv[2])), argv[3]);
    if (verb == L"dpi") {
        HDC screen = GetDC(nullptr);
        std::printf("%d\n", GetDeviceCaps(screen, LOGPIXELSX));
        ReleaseDC(nullptr, screen);
        return 0;
    }
    if (verb == L"redraw" && (argc == 3 || argc == 4)) {
        // With a count, each repaint is waited for: the window's thread paints before the next.
        const HWND w = reinterpret_cast<HWND>(static_cast<UINT_PTR>(_wcstoui64(argv[2], nullptr, 10)));
        const int count = argc == 4 ? _wtoi(argv[3]) : 1;
        const UINT flags = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | (argc == 4 ? RDW_UPDATENOW : 0);
        for (int i = 0; i < count; ++i)
            if (!RedrawWindow(w, nullptr, nullptr, flags)) return 1;
        return 0;
    }
    if (verb == L"gui" && argc == 3) {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, static_cast<DWORD>(_wtoi(argv[2])));
        if (!process) return 1;
        std::printf("{\"gdi\": %lu, \"user\": %lu}\n", GetGuiResources(process, GR_GDIOBJECTS),
                    GetGuiResources(process, GR_USEROBJECTS));
        CloseHandle(process);
        return 0;
    }
    if (verb == L"dpi-changed" && argc == 5) {
        const HWND w = reinterpret_cast<HWND>(static_cast<UINT_PTR>(_wcstoui64(argv[2], nullptr, 10)));
        return DpiChanged(w, _wtoi(argv[3]), _wtoi(argv[4]));
    }
    if (verb == L"cover" && argc == 6) return Cover(_wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]));
    if (verb == L"framed" && argc == 3) return Framed(argv[2]);
    if (verb == L"hold" && argc == 5) return Hold(argv[2], argv[3], argv[4]);
    if (verb == L"render-line" && argc >= 3) return RenderLine(argv[2], argc > 3 ? argv[3] : L"") ? 0 : 1;
    if (verb == L"render-label" && argc == 9) {
        return RenderTexts(argv[2], _wtoi(argv[6]), _wtoi(argv[7]), argv[3], _wtoi(argv[4]), _wtoi(argv[5]),
                           {{{0, 0, _wtoi(argv[6]), _wtoi(argv[7])}, argv[8]}}) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: probe windows|dialog <title> | command <hwnd> <id> | send <hwnd> <message> [post] | screen | redraw <hwnd> | cover x y w h | render-line <file> <caption>\n");
    return 2;
}
