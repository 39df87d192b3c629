// Draws the menu's pictures and writes them as the files the resource script
// embeds. Run by hand when the art changes: artgen <output folder>.
//
// These are placeholders of the exact sizes and formats: navy normal faces
// with a white mark where the flag and the words go, azure highlighted faces,
// a navy tile, a cyan icon and a pointing-finger cursor.
#include <cstdio>
#include <string>

#include "image.h"

namespace artgen {
namespace {

constexpr Rgb kNavy{0, 38, 101};
constexpr Rgb kAzure{2, 128, 255};
constexpr Rgb kTint{64, 159, 255};
constexpr Rgb kRule{38, 70, 124};
constexpr Rgb kWhite{255, 255, 255};

void Outline(Image& img, int x, int y, int w, int h, Rgb c) {
    img.Fill(x, y, w, 1, c);
    img.Fill(x, y + h - 1, w, 1, c);
    img.Fill(x, y, 1, h, c);
    img.Fill(x + w - 1, y, 1, h, c);
}

struct Language {
    int index;
    int flagTop;
    int wordsLeft, wordsTop, wordsBottom, wordsWidth;
    int ruleRow;
};

constexpr Language kLanguages[] = {
    {1, 4, 60, 10, 21, 80, 38},
    {2, 4, 60, 10, 21, 80, 38},
    {3, 5, 62, 13, 25, 60, 39},
    {7, 4, 60, 10, 21, 48, 38},
};

Image NormalFace(const Language& l) {
    Image img(245, 45, kNavy);
    Outline(img, 12, l.flagTop, 41, 28, kWhite);
    img.Fill(l.wordsLeft, l.wordsTop, l.wordsWidth, l.wordsBottom - l.wordsTop + 1, kWhite);
    img.Fill(4, l.ruleRow, 238, 1, kRule);
    return img;
}

Image HighlightedFace(const Language& l) {
    Image img(245, 45, kAzure);
    img.Fill(12, l.flagTop, 41, 28, kTint);
    Outline(img, 12, l.flagTop, 41, 28, kWhite);
    img.Fill(l.wordsLeft, l.wordsTop, l.wordsWidth, l.wordsBottom - l.wordsTop + 1, kWhite);
    return img;
}

Image TextBar(int w, int h, int x, int top, int bottom, int barWidth) {
    Image img(w, h, kNavy);
    img.Fill(x, top, barWidth, bottom - top + 1, kWhite);
    return img;
}

Icon4 PlaceholderIcon() {
    Icon4 icon{};
    icon.palette[0] = {0, 0, 0};
    icon.palette[1] = {0, 255, 255};
    icon.palette[2] = {128, 128, 128};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool edge = x == 0 || y == 0 || x == 31 || y == 31;
            const bool cable = (y == 8 || y == 23) && x > 4 && x < 27;
            icon.index[y][x] = edge ? 0 : cable ? 2 : 1;
            icon.transparent[y][x] = false;
        }
    return icon;
}

// A finger pointing up with its tip at (12, 1), on a transparent ground.
Icon4 PlaceholderCursor() {
    Icon4 cur{};
    const Rgb standard[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                              {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                              {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                              {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (int i = 0; i < 16; ++i) cur.palette[i] = standard[i];
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool finger = y >= 1 && y < 12 && x >= 10 && x <= 14;
            const bool palm = y >= 12 && y < 24 && x >= 6 && x <= 21;
            const bool cuff = y >= 24 && y < 30 && x >= 7 && x <= 20;
            const bool inside = finger || palm || cuff;
            cur.transparent[y][x] = !inside;
            if (!inside) continue;
            const bool border = (finger && (x == 10 || x == 14 || y == 1)) ||
                                (palm && (x == 6 || x == 21 || y == 23 || (y == 12 && (x < 10 || x > 14))));
            cur.index[y][x] = cuff ? (x < 10 ? 12 : 4) : border ? 0 : 15;
        }
    return cur;
}

}  // namespace
}  // namespace artgen

int main(int argc, char** argv) {
    using namespace artgen;
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen <output folder>\n");
        return 2;
    }
    const std::string out = std::string(argv[1]) + "/";
    try {
        for (const Language& l : kLanguages) {
            const std::string n = std::to_string(l.index);
            WriteFile(out + "CountryImage" + n + ".bmp", Bmp24(NormalFace(l)));
            WriteFile(out + "CountryPic" + n + ".bmp", l.index == 3 ? Bmp8(HighlightedFace(l)) : Bmp24(HighlightedFace(l)));
        }
        WriteFile(out + "Picture1.bmp", Bmp24(Image(69, 69, kNavy)));
        WriteFile(out + "Command1.bmp", Bmp24(TextBar(201, 61, 64, 23, 37, 73)));
        WriteFile(out + "Image3.bmp", Bmp24(TextBar(201, 61, 0, 21, 35, 73)));
        WriteFile(out + "Image4.bmp", Bmp24(TextBar(201, 61, 0, 23, 37, 170)));
        Image mark(133, 28, kNavy);
        Outline(mark, 0, 0, 133, 28, kWhite);
        WriteFile(out + "Image1.bmp", Bmp24(mark));
        WriteFile(out + "Image2.bmp", Bmp24(TextBar(171, 86, 31, 35, 54, 100)));
        WriteFile(out + "FrmAutoSelect.ico", IconFile(PlaceholderIcon()));
        WriteFile(out + "Hand.cur", CursorFile(PlaceholderCursor(), 12, 1));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
