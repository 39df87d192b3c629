// Looks at windows from inside Wine for the end-to-end tests and prints what
// it finds as JSON on standard output.
//   probe windows <title>   every top-level window with that exact title
//   probe dialog <title>    message boxes with that title: texts, buttons, icon
//   probe command <hwnd> <id>  posts WM_COMMAND id to a window (dismisses a box)
//   probe screen            the primary screen's size
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& s) {
    if (s.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string Json(const std::wstring& s) {
    std::string out = "\"";
    for (char c : Utf8(s)) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') { out += "\\n"; continue; }
        if (c == '\r') { out += "\\r"; continue; }
        out += c;
    }
    return out + "\"";
}

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
        out += std::string(i ? ", " : "") + "{\"id\": " + id + ", \"text\": " + Json(label) + "}";
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
                "\"focus_class\": %s, \"active\": %s, \"sysmenu\": %s}",
                first ? "" : ", ", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)), pid,
                Json(ClassOf(w)).c_str(), IsWindowVisible(w) ? "true" : "false", RectJson(outer).c_str(), origin.x,
                origin.y, client.right, client.bottom, static_cast<unsigned long>(GetWindowLongW(w, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongW(w, GWL_EXSTYLE)),
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetWindow(w, GW_OWNER))),
                Json(gui.hwndFocus ? ClassOf(gui.hwndFocus) : L"").c_str(),
                gui.hwndActive == w ? "true" : "false", MenuJson(w).c_str());
}

void PrintDialog(HWND w, bool first) {
    std::string texts = "[", buttons = "[";
    bool icon = false;
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const std::wstring cls = ClassOf(c);
        const LONG style = GetWindowLongW(c, GWL_STYLE);
        if (_wcsicmp(cls.c_str(), L"Button") == 0) {
            buttons += std::string(buttons.size() > 1 ? ", " : "") + Json(Text(c));
        } else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            if ((style & SS_TYPEMASK) == SS_ICON) {
                icon = icon || SendMessageW(c, STM_GETICON, 0, 0) != 0;
            } else if (!Text(c).empty()) {
                texts += std::string(texts.size() > 1 ? ", " : "") + Json(Text(c));
            }
        }
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    std::printf("%s{\"hwnd\": %llu, \"pid\": %lu, \"visible\": %s, \"texts\": %s], \"buttons\": %s], \"icon\": %s}",
                first ? "" : ", ", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)), pid,
                IsWindowVisible(w) ? "true" : "false", texts.c_str(), buttons.c_str(), icon ? "true" : "false");
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
    if (verb == L"screen") {
        std::printf("[%d, %d]\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return 0;
    }
    std::fprintf(stderr, "usage: probe windows|dialog <title> | command <hwnd> <id> | screen\n");
    return 2;
}
