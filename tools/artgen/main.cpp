// Makes every picture of the menu that the resource script embeds, as a
// product's art.list (written by tools/product/product.py) says: drawn here,
// or copied from the product's own files; and each of them for every other
// scale the menu has pictures for (art/<dpi>/*.png, named in art/scaled.rc).
// Writes a contact sheet of them all for review.
//   artgen <art.list> <art folder> <contact sheet.png> <Latin font> <CJK font>
// The build runs it; the fonts are Debian's Liberation Sans Bold (Latin words)
// and WenQuanYi Zen Hei (every other script).
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "art_list.h"
#include "contact_sheet.h"
#include "cursor.h"
#include "drawn.h"
#include "faces.h"
#include "image.h"
#include "scaled_set.h"
#include "text.h"

int main(int argc, char** argv) {
    using namespace artgen;
    if (argc != 6) {
        std::fprintf(stderr, "usage: artgen <art.list> <art folder> <contact sheet.png> <Latin font> <CJK font>\n");
        return 2;
    }
    const std::string out = std::string(argv[2]) + "/";
    try {
        const Font latin(argv[4]), cjk(argv[5]);
        std::vector<SheetPicture> sheet;
        ScaledSet scaled(argv[2]);
        // A picture drawn here: at 96 dpi as the BMP the menu has always had, and
        // drawn again, not scaled, for every other scale.
        auto drawn = [&](const std::string& file, const std::function<Image(const Scale&)>& draw, bool eightBit = false) {
            const Image img = draw(Scale{});
            WriteFile(out + file, eightBit ? Bmp8(img) : Bmp24(img));
            sheet.push_back({file, img, scaled.Add(file, img, draw)});
        };
        ArtList list(argv[1]);
        for (ArtItem item; list.Next(item);) {
            switch (item.kind) {
            case ArtItem::Kind::kDraw:
                if (item.file == "Hand.cur") {
                    const Icon4 hand = HandCursor();
                    WriteFile(out + item.file, CursorFile(hand, 12, 1));
                    sheet.push_back({item.file, IconPicture(hand, Rgb{128, 128, 128}), {}});
                } else {
                    drawn(item.file, [&](const Scale& s) { return Drawn(item.file, latin, s); });
                }
                break;
            case ArtItem::Kind::kLogo:
                drawn(item.file, [&](const Scale& s) { return Logo(item.text, latin, s); });
                break;
            case ArtItem::Kind::kFace: {
                const Language& l = item.language;
                if (l.flag.rfind("file:", 0) == 0)
                    std::printf("artgen: the flag %s is given at 96 dpi only: scaled to 125 to 300 %% with a box filter\n",
                                l.flag.substr(5).c_str());
                drawn("CountryImage" + item.file + ".bmp", [&](const Scale& s) { return Face(l, false, latin, cjk, s); });
                drawn("CountryPic" + item.file + ".bmp", [&](const Scale& s) { return Face(l, true, latin, cjk, s); },
                      l.highlightedBits == 8);
                break;
            }
            case ArtItem::Kind::kCopy: {
                WriteFile(out + item.file, ReadFile(item.source));
                const Image img = ReadBmp(item.source);
                sheet.push_back({item.file, img, scaled.AddScaledCopy(item.file, img)});
                break;
            }
            case ArtItem::Kind::kIcon: {
                // The window's icon, and image 30001 of the file's icon group.
                const std::vector<std::uint8_t> icon = ReadFile(item.source);
                WriteFile(out + "FrmAutoSelect.ico", icon);
                WriteFile(out + "FrmAutoSelect.icon", std::vector<std::uint8_t>(icon.begin() + 22, icon.end()));
                WriteFile(out + "FileIcon.group", IconGroup(30001));
                sheet.push_back({"FrmAutoSelect.ico", IconPicture(ReadIcon4(icon), Rgb{128, 128, 128}), {}});
                break;
            }
            }
        }
        scaled.WriteScript();
        ContactSheet(argv[3], sheet, latin);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
