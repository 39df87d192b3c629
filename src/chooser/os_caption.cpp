#include "chooser/os_caption.h"

#include "chooser/controls.h"

namespace chooser {

namespace {
constexpr std::int32_t kWin32s = 0, kWin32Windows = 1, kWin32NT = 2;

// Of the product's rows for this major and minor version, the one with the
// highest build the running one has reached; nullptr where none applies.
const wchar_t* NewerCaption(const forms::OsVersion& v, std::span<const product::OsCaption> newer) {
    const product::OsCaption* best = nullptr;
    for (const product::OsCaption& row : newer) {
        if (static_cast<std::int64_t>(row.major) != v.major || static_cast<std::int64_t>(row.minor) != v.minor ||
            row.build > v.build)
            continue;
        if (!best || row.build > best->build) best = &row;
    }
    return best ? best->caption : nullptr;
}

}  // namespace

void ShowOperatingSystem(forms::Runtime& rt, std::span<const product::OsCaption> newer) {
    const forms::OsVersion v = rt.GetVersionExA();
    // The second character of the 128-character text; a NUL where the text is shorter.
    const wchar_t letter = v.csd.size() > 1 ? v.csd[1] : L'\0';
    auto caption = [&](const wchar_t* text) { rt.SetCaption(Label3(), text); };

    if (v.platform == kWin32s) {
        caption(L"Microsoft Win32s ");
    } else if (v.platform == kWin32Windows) {
        if (v.major == 4 && v.minor == 0) {
            caption(L"Microsoft Windows 95 ");
            if (letter == L'C') caption(L"OSR2 ");
        } else if (v.major == 4 && v.minor == 10) {
            caption(letter == L'A' ? L"Microsoft Windows 98 SE" : L"Microsoft Windows 98");
        } else if (v.major == 4 && v.minor == 90) {
            caption(L"Microsoft Windows Me ");
        }
    } else if (v.platform == kWin32NT) {
        if (v.major <= 4) {
            caption(L"Microsoft Windows NT ");
        } else if (v.major == 5 && v.minor == 0) {
            caption(L"Microsoft Windows 2000 ");
        } else if (v.major == 5 && v.minor == 1) {
            caption(L"Windows XP");
        } else if (const wchar_t* text = NewerCaption(v, newer)) {
            caption(text);
        }
    }
}

}  // namespace chooser
