#include "cursor.h"

namespace artgen {

// Thumb left, three folded fingers right, and the cuff on rows 24 to 29.
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

}  // namespace artgen
