// Text for the JSON lines that the test programs write (the stub setup, the
// probe, the test build that declines a start) and the end-to-end tests read.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace json_text {

inline std::string Utf8(std::wstring_view s) {
    if (s.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// A JSON string: UTF-8 in quotes, with quotes, backslashes and control characters escaped.
inline std::string Quoted(std::wstring_view s) {
    static const char hex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : Utf8(s)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20) {
            out += "\\u00";
            out += hex[byte >> 4];
            out += hex[byte & 15];
            continue;
        }
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// The same, or null where there is no text.
inline std::string QuotedOrNull(const wchar_t* s) { return s ? Quoted(s) : "null"; }

}  // namespace json_text
