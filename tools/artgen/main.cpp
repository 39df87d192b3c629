// Makes every picture of the menu that the resource script embeds, as a
// product's art.list (written by menubuild.product.configure) says: drawn here,
// or copied from the product's own files; and each of them for every other
// scale the menu has pictures for (art/<dpi>/*.png, named in art/scaled.rc).
// Writes a contact sheet of them all for review.
//   artgen <art.list> <art folder> <contact sheet.png>
// The build runs it. The list names the font of each script the product's words
// are in (src/resources/scripts.toml); the Latin one draws the fixed pictures too.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
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
#include "forms/picture_scales.h"
#include "given.h"
#include "image.h"
#include "scaled_set.h"
#include "text.h"

int main(int argc, char** argv) {
    using namespace artgen;
    if (argc != 4) {
        std::fprintf(stderr, "usage: artgen <art.list> <art folder> <contact sheet.png>\n");
        return 2;
    }
    const std::string out = std::string(argv[2]) + "/";
    try {
        ScriptFonts fonts;
        const auto latin = [&]() -> const Font& { return *fonts.For("Latn").font; };
        std::vector<SheetPicture> sheet;
        ScaledSet scaled(argv[2]);
        // A picture drawn here: at 96 dpi as the BMP the menu has always had, and
        // drawn again, not scaled, for every other scale.
        auto drawn = [&](const std::string& file, const std::function<Image(const Scale&)>& draw, bool eightBit = false,
                         const std::string& note = {}) {
            const Image img = draw(Scale{});
            WriteFile(out + file, eightBit ? Bmp8(img) : Bmp24(img));
            sheet.push_back({file, img, scaled.Add(file, img, draw), note});
        };
        // The product's own pictures given for other scales, by the file they are of
        // ("flag<code>" for a flag): each taken by the line that makes that file.
        std::map<std::string, std::vector<Given>> larger;
        std::map<int, ArtItem> faceFonts;  // a language's own font, by its code, for its face line
        const auto take = [&](const std::string& of) {
            const auto found = larger.find(of);
            if (found == larger.end()) return std::vector<Given>{};
            std::vector<Given> given = std::move(found->second);
            larger.erase(found);
            return given;
        };
        ArtList list(argv[1]);
        for (ArtItem item; list.Next(item);) {
            switch (item.kind) {
            case ArtItem::Kind::kFont:
                fonts.Add(item.file, item.grid, item.source);
                break;
            case ArtItem::Kind::kDraw:
                if (item.file == "Hand.cur") {
                    const Icon4 hand = HandCursor();
                    WriteFile(out + item.file, CursorFile(hand, 12, 1));
                    sheet.push_back({item.file, IconPicture(hand, Rgb{128, 128, 128}), {}, {}});
                } else {
                    drawn(item.file, [&](const Scale& s) { return Drawn(item.file, latin(), s); });
                }
                break;
            case ArtItem::Kind::kLogo:
                drawn(item.file, [&](const Scale& s) { return Logo(item.text, latin(), s); });
                break;
            case ArtItem::Kind::kFace: {
                Language l = item.language;
                l.flagLarger = take("flag" + std::to_string(l.code));
                const auto own = faceFonts.find(l.code);
                // The fonts its words are drawn in: the table's, or with its own in place of its script's.
                const ScriptFonts words = own == faceFonts.end() ? fonts
                                                                 : fonts.Own(ScriptOf(l.words), own->second.source,
                                                                             own->second.face, own->second.forms);
                if (l.flag.rfind("file:", 0) == 0) {
                    std::vector<Given> given{{96, l.flag.substr(5)}};
                    given.insert(given.end(), l.flagLarger.begin(), l.flagLarger.end());
                    std::printf("artgen: the flag %s: %s\n", given[0].path.c_str(), HowScaled(given).c_str());
                }
                // Which font files draw the words: the build's log and the sheet say.
                std::string drawnIn;
                for (const std::string& file : FontFiles(PlaceWords(l, words).layout))
                    drawnIn += (drawnIn.empty() ? "" : ", ") + file;
                if (own != faceFonts.end() && !own->second.forms.empty())
                    drawnIn += " (face " + std::to_string(own->second.face) + ", glyph forms " + own->second.forms + ")";
                std::printf("artgen: the words of %s (code %d) are drawn in %s\n", l.name.c_str(), l.code,
                            drawnIn.c_str());
                drawn("CountryImage" + item.file + ".bmp", [&](const Scale& s) { return Face(l, false, words, s); },
                      false, "words in " + drawnIn);
                drawn("CountryPic" + item.file + ".bmp", [&](const Scale& s) { return Face(l, true, words, s); },
                      l.highlightedBits == 8, "words in " + drawnIn);
                if (own != faceFonts.end()) faceFonts.erase(own);
                break;
            }
            case ArtItem::Kind::kFaceFont: {
                faceFonts[item.language.code] = item;
                break;
            }
            case ArtItem::Kind::kCopy: {
                WriteFile(out + item.file, ReadFile(item.source));
                const Image img = ReadBmp(item.source);
                sheet.push_back({item.file, img, scaled.AddCopy(item.file, item.source, img, take(item.file)), {}});
                break;
            }
            case ArtItem::Kind::kLarger:
            case ArtItem::Kind::kLargerFlag: {
                if (std::find(std::begin(forms::kDrawnDpis), std::end(forms::kDrawnDpis), item.dpi) ==
                    std::end(forms::kDrawnDpis))
                    throw std::runtime_error(item.source + " is given for " + std::to_string(item.dpi) +
                                             " dpi, a scale the menu has no pictures for");
                const bool flag = item.kind == ArtItem::Kind::kLargerFlag;
                larger[flag ? "flag" + std::to_string(item.language.code) : item.file].push_back({item.dpi, item.source});
                break;
            }
            case ArtItem::Kind::kIcon: {
                // The window's icon, and image 30001 of the file's icon group.
                const std::vector<std::uint8_t> icon = ReadFile(item.source);
                WriteFile(out + "FrmAutoSelect.ico", icon);
                WriteFile(out + "FrmAutoSelect.icon", std::vector<std::uint8_t>(icon.begin() + 22, icon.end()));
                WriteFile(out + "FileIcon.group", IconGroup(30001));
                sheet.push_back({"FrmAutoSelect.ico", IconPicture(ReadIcon4(icon), Rgb{128, 128, 128}), {}, {}});
                break;
            }
            case ArtItem::Kind::kIconSizes: {
                // Images 30002 on, each named by the group after the 32 x 32 one.
                const std::vector<IconFileImage> more = IconFileImages(ReadFile(item.source));
                for (size_t i = 0; i < more.size(); ++i)
                    WriteFile(out + "Icon" + std::to_string(i + 1) + ".icon", more[i].image);
                WriteFile(out + "FileIcon.group", IconGroup(30001, more));
                std::printf("artgen: the icon comes in %zu more sizes from %s\n", more.size(), item.source.c_str());
                break;
            }
            }
        }
        if (!faceFonts.empty())
            throw std::runtime_error(faceFonts.begin()->second.source + " is named for the words of code " +
                                     std::to_string(faceFonts.begin()->first) + ", which no face line after it draws");
        if (!larger.empty())
            throw std::runtime_error(larger.begin()->second.front().path + " is given larger for " +
                                     larger.begin()->first + ", which no line after it makes");
        scaled.WriteScript();
        ContactSheet(argv[3], sheet, latin());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
