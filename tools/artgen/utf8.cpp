#include "utf8.h"

namespace artgen {

std::u32string FromUtf8(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = n == 1 ? b : b & (0x7F >> n);
        for (int k = 1; k < n && i + k < s.size(); ++k) c = c << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out += c;
        i += n;
    }
    return out;
}

}  // namespace artgen

namespace artgen {

std::string ToUtf8(const std::u32string& s) {
    std::string out;
    for (char32_t c : s) {
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        const int n = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;  // bytes
        constexpr unsigned kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
        out += static_cast<char>(kLead[n] | c >> 6 * (n - 1));
        for (int k = n - 2; k >= 0; --k) out += static_cast<char>(0x80 | (c >> 6 * k & 0x3F));
    }
    return out;
}

}  // namespace artgen
