#include "contact_sheet.h"

#include <algorithm>

#include "palette.h"
#include "png.h"
#include "utf8.h"

namespace artgen {
namespace {

constexpr int kMargin = 8, kLabel = 22, kGap = 12;

void Put(Image& sheet, const Image& img, int x0, int y0, int zoom) {
    for (int j = 0; j < img.height * zoom; ++j)
        for (int i = 0; i < img.width * zoom; ++i)
            sheet.At(x0 + i, y0 + j) = img.pixels[static_cast<size_t>(j / zoom) * img.width + i / zoom];
}

// Where each scale goes: left to right, a new row where the next would pass `width`.
struct Placed {
    int x, y;
};
std::vector<Placed> RowsOfScales(const std::vector<std::pair<int, Image>>& scales, int width, int& height) {
    std::vector<Placed> at;
    int x = kMargin, y = 0, rowHeight = 0;
    for (const auto& [dpi, img] : scales) {
        if (x > kMargin && x + img.width > width - kMargin) x = kMargin, y += rowHeight + kGap, rowHeight = 0;
        at.push_back({x, y + kLabel});
        x += img.width + kGap;
        rowHeight = std::max(rowHeight, kLabel + img.height);
    }
    height = scales.empty() ? 0 : y + rowHeight + kGap;
    return at;
}

}  // namespace

void ContactSheet(const std::string& path, const std::vector<SheetPicture>& pictures, const Font& label) {
    const Rgb grey{128, 128, 128};
    int width = 4 * 245 + 2 * kMargin;
    for (const SheetPicture& p : pictures)
        for (const auto& [dpi, img] : p.scales) width = std::max(width, img.width + 2 * kMargin);
    int height = kMargin;
    for (const SheetPicture& p : pictures) {
        int scalesHeight = 0;
        RowsOfScales(p.scales, width, scalesHeight);
        height += kLabel + p.picture.height * 4 + (p.note.empty() ? 0 : kLabel) + kGap + scalesHeight;
    }
    Image sheet(width, height, grey);
    int y = kMargin;
    // A caption is UTF-8 and may name a product's own font file in any script: a
    // letter the label's font lacks is shown as a question mark, not refused.
    auto caption = [&](const std::string& text, int x, int top) {
        std::u32string letters = FromUtf8(text);
        for (char32_t& c : letters)
            if (!label.GlyphOf(c)) c = U'?';
        Blend(sheet, label.Render(letters, 14), x, top + 2, kWhite);
    };
    for (const SheetPicture& p : pictures) {
        caption(p.name, kMargin, y);
        y += kLabel;
        Put(sheet, p.picture, kMargin, y, 4);
        y += p.picture.height * 4;
        if (!p.note.empty()) {
            caption(p.note, kMargin, y);
            y += kLabel;
        }
        y += kGap;
        int scalesHeight = 0;
        const std::vector<Placed> at = RowsOfScales(p.scales, width, scalesHeight);
        for (size_t i = 0; i < at.size(); ++i) {
            caption(std::to_string(p.scales[i].first * 100 / 96) + " %", at[i].x, y + at[i].y - kLabel);
            Put(sheet, p.scales[i].second, at[i].x, y + at[i].y, 1);
        }
        y += scalesHeight;
    }
    WriteFile(path, Png(sheet));
}

Image IconPicture(const Icon4& icon, Rgb ground) {
    Image img(32, 32, ground);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (!icon.transparent[y][x]) img.At(x, y) = icon.palette[icon.index[y][x]];
    return img;
}

}  // namespace artgen
