// Draws every picture of the menu and writes the files the resource script
// embeds, plus a contact sheet for review. Run by hand when the art changes:
//   artgen <art folder> <contact sheet.png>
// Fonts come from Debian's packages: Liberation Sans Bold for the Latin
// words, WenQuanYi Zen Hei for the CJK ones.
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

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

const char* kLatinFont = "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf";
const char* kCjkFont = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc";

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

struct Language {
    int index;
    std::u32string words;
    bool latin;
    int flagTop, wordsLeft, wordsTop, ruleRow;
};

const Language kLanguages[] = {
    {1, U"\u7E41\u9AD4\u4E2D\u570B\u8A9E", false, 4, 60, 10, 38},
    {2, U"\u7C21\u4F53\u4E2D\u56FD\u8A9E", false, 4, 60, 10, 38},
    {3, U"English", true, 5, 62, 13, 39},
    {7, U"\u65E5\u672C\u8A9E", false, 4, 60, 10, 38},
};

// The flag of a language at (12, top), 41 x 28, in its own colours or, for
// the highlighted face, in the one hue of the highlight.
void Flag(Image& img, int index, int top, bool lit) {
    const int fx = 12, fy = top, fw = 41, fh = 28;
    Image flag(fw, fh, kWhite);
    switch (index) {
        case 1: {  // red field, blue canton with a white sun
            flag.Fill(0, 0, fw, fh, lit ? kTint : Rgb{234, 2, 4});
            flag.Fill(0, 0, 20, 14, lit ? kAzure : Rgb{4, 9, 160});
            Shape(flag, 0, 0, 20, 14, Star(10, 7, 5.5, 3.4, 12), kWhite);
            Shape(flag, 0, 0, 20, 14, Disc(10, 7, 3.0), lit ? kAzure : Rgb{4, 9, 160});
            flag.Fill(8, 5, 4, 4, kWhite);
            break;
        }
        case 2: {  // red field, five yellow stars in the top-left 13 x 11
            flag.Fill(0, 0, fw, fh, lit ? kTint : Rgb{253, 27, 10});
            const Rgb big = lit ? kWhite : Rgb{255, 222, 0}, small = lit ? Rgb{200, 228, 255} : Rgb{255, 222, 0};
            Shape(flag, 0, 0, 13, 11, Star(4.5, 4.5, 3.6, 1.5, 5), big);
            for (auto [cx, cy] : {std::pair{9.0, 1.6}, {11.2, 3.6}, {11.2, 6.6}, {9.0, 8.8}})
                Shape(flag, 0, 0, 13, 11, Star(cx, cy, 1.5, 0.7, 5), small);
            break;
        }
        case 3: {  // thirteen stripes, blue canton with a dotted star pattern
            for (int s = 0; s < 13; ++s) {
                const int y0 = s * fh / 13, y1 = (s + 1) * fh / 13;
                const Rgb red = lit ? Rgb{150, 200, 255} : Rgb{191, 10, 48};
                const Rgb white = lit ? Rgb{205, 230, 255} : kWhite;
                flag.Fill(0, y0, fw, y1 - y0, s % 2 ? white : red);
            }
            flag.Fill(0, 0, 20, 15, lit ? kTint : Rgb{10, 49, 97});
            for (int y = 1; y < 14; y += 2)
                for (int x = 1 + (y / 2) % 2; x < 19; x += 2) flag.At(x, y) = lit ? Rgb{170, 210, 255} : kWhite;
            break;
        }
        default:  // white field, red disc 16 pixels across
            Shape(flag, 0, 0, fw, fh, Disc(fw / 2.0, fh / 2.0, 8), lit ? kTint : Rgb{250, 5, 19});
            break;
    }
    const Rgb ground = lit ? kAzure : kNavy;
    for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x) {
            const bool edge = x == 0 || y == 0 || x == fw - 1 || y == fh - 1;
            // The softened edge: the outermost pixels half into the background.
            img.At(fx + x, fy + y) = edge ? Mix(flag.At(x, y), ground, 0.5) : flag.At(x, y);
        }
}

Image Face(const Language& l, bool lit, const Font& latin, const Font& cjk) {
    Image img(245, 45, lit ? kAzure : kNavy);
    Flag(img, l.index, l.flagTop, lit);
    // Latin words a quarter pixel larger than the CJK ones: their descender reaches
    // row 24 and the shadow row 25 of the face, as the CJK words fill rows 10 to 21.
    const Mask words = l.latin ? latin.Render(l.words, 12.25) : cjk.Render(l.words, 12);
    if (l.latin && !lit) Blend(img, words, l.wordsLeft + 1, l.wordsTop + 1, Rgb{0, 10, 40});  // the shadow
    Blend(img, words, l.wordsLeft, l.wordsTop, l.latin && lit ? kPaleBlue : kWhite);
    if (!lit) img.Fill(4, l.ruleRow, 238, 1, kRule);
    return img;
}

Icon4 WindowIcon() {
    Icon4 icon{};
    enum { K, C, W, G, S, M };
    const Rgb palette[6] = {{0, 0, 0}, {0, 255, 255}, {255, 255, 255}, {128, 128, 128}, {192, 192, 192}, {255, 0, 255}};
    for (int i = 0; i < 6; ++i) icon.palette[i] = palette[i];
    auto fill = [&](int x, int y, int w, int h, int c) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) icon.index[j][i] = static_cast<std::uint8_t>(c);
    };
    fill(0, 0, 32, 32, C);
    // The cable: black outline, grey core, along the double loop.
    auto cable = [&](int x, int y, int w, int h) {
        fill(x - 1, y - 1, w + 2, h + 2, K);
    };
    cable(9, 5, 19, 2);    // from the top plug right along the top
    cable(26, 5, 2, 11);   // down the right edge
    cable(5, 14, 23, 2);   // leftwards through the housing
    cable(4, 14, 2, 13);   // down the left edge
    cable(4, 25, 18, 2);   // right along the bottom to the second plug
    auto core = [&](int x, int y, int w, int h) { fill(x, y, w, h, G); };
    core(9, 5, 19, 2), core(26, 5, 2, 11), core(5, 14, 23, 2), core(4, 14, 2, 13), core(4, 25, 18, 2);
    // Two USB-A plugs: silver bodies with the trident in grey, metal tips at the edges.
    auto plug = [&](int x, int y, bool right) {
        fill(x, y, 8, 7, K);
        fill(x + 1, y + 1, 6, 5, S);
        fill(x + 2, y + 3, 4, 1, G);  // the trident's shaft
        fill(right ? x + 5 : x + 2, y + 2, 1, 3, G);
        const int tip = right ? x + 8 : x - 2;
        fill(tip, y + 1, 2, 5, K);
        fill(tip + (right ? 0 : 1), y + 2, 1, 3, W);
    };
    plug(2, 2, false);
    plug(22, 23, true);
    // The housing, about 17 x 9, in the middle.
    fill(7, 11, 17, 9, K);
    fill(8, 12, 15, 7, G);
    fill(8, 12, 15, 1, W);
    for (int band : {14, 17}) {
        fill(9, band, 13, 1, C);
        fill(14, band, 3, 1, M);
    }
    return icon;  // the mask stays empty: every pixel opaque
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

int main(int argc, char** argv) {
    using namespace artgen;
    if (argc != 3) {
        std::fprintf(stderr, "usage: artgen <art folder> <contact sheet.png>\n");
        return 2;
    }
    const std::string out = std::string(argv[1]) + "/";
    try {
        const Font latin(kLatinFont), cjk(kCjkFont);
        std::vector<std::pair<std::string, Image>> sheet;
        auto bitmap = [&](const std::string& file, const std::string& name, const Image& img, bool eightBit = false) {
            WriteFile(out + file, eightBit ? Bmp8(img) : Bmp24(img));
            sheet.emplace_back(name, img);
        };

        // Condensed a little so the button's words span x 64 to 136.
        const Mask exitWide = latin.Render(U"Exit Setup", 16);
        const Mask exitWords = Fit(exitWide, 73, exitWide.height);
        const Mask prompt = latin.Render(U"Please Select Language:", 16);
        Image image4(201, 61, kNavy), image3(201, 61, kNavy), command1(201, 61, kNavy);
        Blend(image4, prompt, 0, 23, kWhite);
        Blend(image3, exitWords, 0, 21, kWhite);
        Blend(command1, exitWords, 64, 23, kWhite);  // the same words, 64 right and 2 lower
        bitmap("Image4.bmp", "Image4.Picture", image4);
        bitmap("Image3.bmp", "Image3.Picture", image3);
        bitmap("Command1.bmp", "Command1.Picture", command1);

        for (const Language& l : kLanguages) {
            const std::string n = std::to_string(l.index);
            bitmap("CountryImage" + n + ".bmp", "CountryImage(" + n + ").Picture", Face(l, false, latin, cjk));
            bitmap("CountryPic" + n + ".bmp", "CountryPic(" + n + ").Picture", Face(l, true, latin, cjk), l.index == 3);
        }

        Image mark(133, 28, kNavy);
        Blend(mark, Fit(latin.Render(U"VELBROOK", 48), 133, 28), 0, 0, kWhite);
        bitmap("Image1.bmp", "Image1.Picture", mark);

        Image logo(171, 86, kNavy);
        Blend(logo, Fit(latin.Render(U"KESTRIN", 48), 100, 20), 31, 35, kWhite);
        logo.Fill(31, 58, 100, 2, Rgb{128, 128, 128});  // the grey detail beneath
        bitmap("Image2.bmp", "Image2.Picture", logo);

        bitmap("Picture1.bmp", "Picture1.Picture", Image(69, 69, kNavy));

        const Icon4 icon = WindowIcon();
        WriteFile(out + "FrmAutoSelect.ico", IconFile(icon));
        WriteFile(out + "FrmAutoSelect.icon", IconImage(icon));  // icon 30001 of the file icon group
        WriteFile(out + "FileIcon.group", IconGroup(30001));
        sheet.emplace_back("FrmAutoSelect.Icon", Render(icon, Rgb{128, 128, 128}));
        const Icon4 hand = HandCursor();
        WriteFile(out + "Hand.cur", CursorFile(hand, 12, 1));
        sheet.emplace_back("Command1.MouseIcon (and the language pictures')", Render(hand, Rgb{128, 128, 128}));

        ContactSheet(argv[2], sheet, latin);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
