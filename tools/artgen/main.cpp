// Makes every picture of the menu that the resource script embeds, as a
// product's art.list (written by tools/product/product.py) says: drawn here,
// or copied from the product's own files. Writes a contact sheet for review.
//   artgen <art.list> <art folder> <contact sheet.png> <Latin font> <CJK font>
// The build runs it; the fonts are Debian's Liberation Sans Bold (Latin words)
// and WenQuanYi Zen Hei (every other script).
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "image.h"
#include "png.h"
#include "text.h"

namespace artgen {
namespace {

constexpr Rgb kNavy{0, 38, 101};
constexpr Rgb kAzure{2, 128, 255};
constexpr Rgb kTint{64, 159, 255};
constexpr Rgb kRule{38, 70, 124};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kPaleBlue{230, 242, 255};

Rgb Mix(Rgb a, Rgb b, double t) {
    auto m = [t](int x, int y) { return static_cast<std::uint8_t>(std::lround(x + (y - x) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

// Coverage of a shape over one pixel, sampled 4 x 4, snapped to quarters so shades stay few.
double Coverage(const std::function<bool(double, double)>& inside, int x, int y) {
    int hits = 0;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) hits += inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4);
    return std::round(hits / 4.0) / 4.0;
}

void Shape(Image& img, int x0, int y0, int w, int h, const std::function<bool(double, double)>& inside, Rgb c) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (double a = Coverage(inside, x, y); a > 0) img.At(x, y) = Mix(img.At(x, y), c, a);
}

std::function<bool(double, double)> Disc(double cx, double cy, double r) {
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

// A star with `points` points: inside when the radius at that angle is short enough.
std::function<bool(double, double)> Star(double cx, double cy, double outer, double inner, int points,
                                         double turn = -M_PI / 2) {
    return [=](double x, double y) {
        const double dx = x - cx, dy = y - cy, r = std::hypot(dx, dy);
        if (r > outer) return false;
        double a = std::atan2(dy, dx) - turn;
        const double sector = 2 * M_PI / points;
        a = std::fmod(std::fmod(a, sector) + sector, sector);
        const double t = std::fabs(a - sector / 2) / (sector / 2);  // 1 at a point, 0 between
        return r <= inner + (outer - inner) * t;
    };
}

// The grid of a face, by the script of its words: Latin words, drawn a quarter
// pixel larger, stand lower and further right, and so do their flag and rule.
struct Grid {
    int flagTop, wordsLeft, wordsTop, ruleRow;
};
constexpr Grid kLatinGrid{5, 62, 13, 39}, kCjkGrid{4, 60, 10, 38};

struct Language {
    int code;
    bool latin;
    std::string flag;  // "built-in:<name>" or "file:<path>"
    int highlightedBits;
    std::u32string words;
};

// A flag the generator draws, in its own colours or, for the highlighted face,
// in the one hue of the highlight.
Image BuiltInFlag(const std::string& name, bool lit) {
    const int fw = 41, fh = 28;
    Image flag(fw, fh, kWhite);
    if (name == "taiwan") {  // red field, blue canton with a white sun
        flag.Fill(0, 0, fw, fh, lit ? kTint : Rgb{234, 2, 4});
        flag.Fill(0, 0, 20, 14, lit ? kAzure : Rgb{4, 9, 160});
        Shape(flag, 0, 0, 20, 14, Star(10, 7, 5.5, 3.4, 12), kWhite);
        Shape(flag, 0, 0, 20, 14, Disc(10, 7, 3.0), lit ? kAzure : Rgb{4, 9, 160});
        flag.Fill(8, 5, 4, 4, kWhite);
    } else if (name == "china") {  // red field, five yellow stars in the top-left 13 x 11
        flag.Fill(0, 0, fw, fh, lit ? kTint : Rgb{253, 27, 10});
        const Rgb big = lit ? kWhite : Rgb{255, 222, 0}, small = lit ? Rgb{200, 228, 255} : Rgb{255, 222, 0};
        Shape(flag, 0, 0, 13, 11, Star(4.5, 4.5, 3.6, 1.5, 5), big);
        for (auto [cx, cy] : {std::pair{9.0, 1.6}, {11.2, 3.6}, {11.2, 6.6}, {9.0, 8.8}})
            Shape(flag, 0, 0, 13, 11, Star(cx, cy, 1.5, 0.7, 5), small);
    } else if (name == "united-states") {  // thirteen stripes, blue canton with a dotted star pattern
        for (int s = 0; s < 13; ++s) {
            const int y0 = s * fh / 13, y1 = (s + 1) * fh / 13;
            const Rgb red = lit ? Rgb{150, 200, 255} : Rgb{191, 10, 48};
            const Rgb white = lit ? Rgb{205, 230, 255} : kWhite;
            flag.Fill(0, y0, fw, y1 - y0, s % 2 ? white : red);
        }
        flag.Fill(0, 0, 20, 15, lit ? kTint : Rgb{10, 49, 97});
        for (int y = 1; y < 14; y += 2)
            for (int x = 1 + (y / 2) % 2; x < 19; x += 2) flag.At(x, y) = lit ? Rgb{170, 210, 255} : kWhite;
    } else if (name == "japan") {  // white field, red disc 16 pixels across
        Shape(flag, 0, 0, fw, fh, Disc(fw / 2.0, fh / 2.0, 8), lit ? kTint : Rgb{250, 5, 19});
    } else {
        throw std::runtime_error("no built-in flag " + name);
    }
    return flag;
}

// A flag from a picture file: as it is, or for the highlighted face in the one
// hue of the highlight, dark parts in the tint and light ones towards white.
Image FlagFromFile(const std::string& path, bool lit) {
    Image flag = ReadBmp(path);
    if (lit) {
        for (Rgb& p : flag.pixels) p = Mix(kTint, kWhite, (0.299 * p.r + 0.587 * p.g + 0.114 * p.b) / 255.0);
    }
    return flag;
}

// The flag of a language at (12, top), 41 x 28, its outermost pixels softened into the background.
void Flag(Image& img, const std::string& source, int top, bool lit) {
    const bool builtIn = source.rfind("built-in:", 0) == 0;
    const Image flag = builtIn ? BuiltInFlag(source.substr(9), lit) : FlagFromFile(source.substr(5), lit);
    const Rgb ground = lit ? kAzure : kNavy;
    for (int y = 0; y < flag.height; ++y)
        for (int x = 0; x < flag.width; ++x) {
            const bool edge = x == 0 || y == 0 || x == flag.width - 1 || y == flag.height - 1;
            const Rgb p = flag.pixels[static_cast<size_t>(y) * flag.width + x];
            img.At(12 + x, top + y) = edge ? Mix(p, ground, 0.5) : p;
        }
}

Image Face(const Language& l, bool lit, const Font& latin, const Font& cjk) {
    const Grid& g = l.latin ? kLatinGrid : kCjkGrid;
    Image img(245, 45, lit ? kAzure : kNavy);
    Flag(img, l.flag, g.flagTop, lit);
    // Latin words a quarter pixel larger than the CJK ones: their descender reaches
    // row 24 and the shadow row 25 of the face, as the CJK words fill rows 10 to 21.
    const Mask words = l.latin ? latin.Render(l.words, 12.25) : cjk.Render(l.words, 12);
    if (l.latin && !lit) Blend(img, words, g.wordsLeft + 1, g.wordsTop + 1, Rgb{0, 10, 40});  // the shadow
    Blend(img, words, g.wordsLeft, g.wordsTop, l.latin && lit ? kPaleBlue : kWhite);
    if (!lit) img.Fill(4, g.ruleRow, 238, 1, kRule);
    return img;
}

// The hand: index finger up with its tip at (12, 1), thumb left, three
// folded fingers right, and the cuff on rows 24 to 29.
Icon4 HandCursor() {
    static const char* const kMap[32] = {
        "................................",
        "............KK..................",
        "...........GWWK.................",
        "...........GWWK.................",
        "...........GWWK.................",
        "...........GWWK.................",
        "...........GWWKKK...............",
        "...........GWWKWWKK.............",
        "...........GWWKWWKWKK...........",
        "...........GWWKWWKWWKK..........",
        "......KK...GWWKWWKWWKWK.........",
        "......GWK..GWWWWWWWWWWWK........",
        "......GWWK.GWWWWWWWWWWWK........",
        ".......GWWKGWWWWWWWWWWSK........",
        ".......GWWWWWWWWWWWWWWSK........",
        "........GWWWWWWWWWWWWWSK........",
        "........GWWWWWWWWWWWWWSK........",
        ".........GWWWWWWWWWWWSK.........",
        ".........GWWWWWWWWWWWSK.........",
        "..........GWWWWWWWWWSK..........",
        "..........GWWWWWWWWWSK..........",
        "...........GWWWWWWWSK...........",
        "...........GWWWWWWWSK...........",
        "...........KKKKKKKKKKK..........",
        "..........BBNNNNNNNNNK..........",
        "..........BBNNNNNNNNNK..........",
        "..........BBNNNNNNNNNK..........",
        "..........BBNNNNNNNNNK..........",
        "..........BBNNNNNNNNNK..........",
        "..........KKKKKKKKKKKK..........",
        "................................",
        "................................",
    };
    Icon4 cur{};
    const Rgb standard[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                              {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                              {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                              {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (int i = 0; i < 16; ++i) cur.palette[i] = standard[i];
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const char c = kMap[y][x];
            cur.transparent[y][x] = c == '.';
            cur.index[y][x] = c == 'W' ? 15 : c == 'G' ? 8 : c == 'S' ? 7 : c == 'N' ? 4 : c == 'B' ? 12 : 0;
        }
    return cur;
}

Image Render(const Icon4& icon, Rgb ground) {
    Image img(32, 32, ground);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (!icon.transparent[y][x]) img.At(x, y) = icon.palette[icon.index[y][x]];
    return img;
}

// Every picture at 4x on a grey ground, each under its owner and property.
void ContactSheet(const std::string& path, const std::vector<std::pair<std::string, Image>>& pictures,
                  const Font& label) {
    const Rgb grey{128, 128, 128};
    int height = 8;
    for (const auto& [name, img] : pictures) height += 22 + img.height * 4 + 12;
    Image sheet(4 * 245 + 16, height, grey);
    int y = 8;
    for (const auto& [name, img] : pictures) {
        Blend(sheet, label.Render(std::u32string(name.begin(), name.end()), 14), 8, y + 2, kWhite);
        y += 22;
        for (int j = 0; j < img.height * 4; ++j)
            for (int i = 0; i < img.width * 4; ++i) sheet.At(8 + i, y + j) = img.pixels[(j / 4) * img.width + i / 4];
        y += img.height * 4 + 12;
    }
    WriteFile(path, Png(sheet));
}

}  // namespace
}  // namespace artgen

namespace artgen {
namespace {

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

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    return fields;
}

// The pictures drawn from fixed words and shapes, by the file each becomes.
Image Drawn(const std::string& name, const Font& latin) {
    // Condensed a little so the button's words span x 64 to 136.
    const auto exitWords = [&] {
        const Mask wide = latin.Render(U"Exit Setup", 16);
        return Fit(wide, 73, wide.height);
    };
    Image img(201, 61, kNavy);
    if (name == "Image4.bmp") {
        Blend(img, latin.Render(U"Please Select Language:", 16), 0, 23, kWhite);
    } else if (name == "Image3.bmp") {
        Blend(img, exitWords(), 0, 21, kWhite);
    } else if (name == "Command1.bmp") {
        Blend(img, exitWords(), 64, 23, kWhite);  // the same words, 64 right and 2 lower
    } else if (name == "Image2.bmp") {
        img = Image(171, 86, kNavy);
        Blend(img, Fit(latin.Render(U"KESTRIN", 48), 100, 20), 31, 35, kWhite);
        img.Fill(31, 58, 100, 2, Rgb{128, 128, 128});  // the grey detail beneath
    } else if (name == "Picture1.bmp") {
        img = Image(69, 69, kNavy);
    } else {
        throw std::runtime_error("nothing to draw for " + name);
    }
    return img;
}

}  // namespace
}  // namespace artgen

int main(int argc, char** argv) {
    using namespace artgen;
    if (argc != 6) {
        std::fprintf(stderr, "usage: artgen <art.list> <art folder> <contact sheet.png> <Latin font> <CJK font>\n");
        return 2;
    }
    const std::string out = std::string(argv[2]) + "/";
    try {
        const Font latin(argv[4]), cjk(argv[5]);
        std::vector<std::pair<std::string, Image>> sheet;
        auto bitmap = [&](const std::string& file, const Image& img, bool eightBit = false) {
            WriteFile(out + file, eightBit ? Bmp8(img) : Bmp24(img));
            sheet.emplace_back(file, img);
        };
        std::ifstream list(argv[1]);
        if (!list) throw std::runtime_error(std::string("cannot read ") + argv[1]);
        for (std::string line; std::getline(list, line);) {
            const std::vector<std::string> f = Fields(line);
            if (f.empty() || f[0].empty() || f[0][0] == '#') continue;
            if (f[0] == "draw" && f.size() == 2 && f[1] == "Hand.cur") {
                const Icon4 hand = HandCursor();
                WriteFile(out + f[1], CursorFile(hand, 12, 1));
                sheet.emplace_back(f[1], Render(hand, Rgb{128, 128, 128}));
            } else if (f[0] == "draw" && f.size() == 2) {
                bitmap(f[1], Drawn(f[1], latin));
            } else if (f[0] == "face" && f.size() == 6) {
                const Language l{std::stoi(f[1]), f[2] == "latin", f[3], std::stoi(f[4]), FromUtf8(f[5])};
                bitmap("CountryImage" + f[1] + ".bmp", Face(l, false, latin, cjk));
                bitmap("CountryPic" + f[1] + ".bmp", Face(l, true, latin, cjk), l.highlightedBits == 8);
            } else if (f[0] == "copy" && f.size() == 3) {
                WriteFile(out + f[1], ReadFile(f[2]));
                sheet.emplace_back(f[1], ReadBmp(f[2]));
            } else if (f[0] == "icon" && f.size() == 2) {
                // The window's icon, and image 30001 of the file's icon group.
                const std::vector<std::uint8_t> icon = ReadFile(f[1]);
                WriteFile(out + "FrmAutoSelect.ico", icon);
                WriteFile(out + "FrmAutoSelect.icon", std::vector<std::uint8_t>(icon.begin() + 22, icon.end()));
                WriteFile(out + "FileIcon.group", IconGroup(30001));
                sheet.emplace_back("FrmAutoSelect.ico", Render(ReadIcon4(icon), Rgb{128, 128, 128}));
            } else {
                throw std::runtime_error("cannot read the line \"" + line + "\" of " + argv[1]);
            }
        }
        ContactSheet(argv[3], sheet, latin);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
