// Where the language rows stand and how the keyboard walks them, as plain
// arithmetic over a list of which languages are shown: the layout applies it
// to the product's languages, and the tests to lists the product lacks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "forms/form.h"

namespace chooser::rows {

struct Place {
    int column;  // from the left
    int row;     // from the top
    bool operator==(const Place&) const = default;
};

// Where the language at `at` of a list (in the description's order) stands. The
// shown ones fill the columns from the top, `perColumn` rows each, the left one
// first; the hidden ones are carried in the rows below the last shown one, in
// its column. Up to `perColumn` shown, that is one column, hidden rows below.
constexpr Place PlaceOf(std::span<const bool> shown, std::size_t at, int perColumn) {
    int shownBefore = 0, hiddenBefore = 0, count = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        count += shown[i] ? 1 : 0;
        if (i < at) (shown[i] ? shownBefore : hiddenBefore) += 1;
    }
    if (shown[at]) return {shownBefore / perColumn, shownBefore % perColumn};
    const int lastColumn = count ? (count - 1) / perColumn : 0;
    return {lastColumn, count - lastColumn * perColumn + hiddenBefore};
}

// Where the keyboard goes among `count` shown languages in reading order (down
// the first column, then down the next) from the one at `from` (-1: none lit),
// or -1 where the key moves nothing. Down and Up step in reading order and wrap
// round; from none, Down lights the first and Up the last. Right and Left go to
// the same row of the next or the previous column, wrapping round, or to its
// last row where that column is shorter; with one column, or none lit, they move
// nothing.
constexpr int KeyTarget(int count, int perColumn, int from, std::int16_t key) {
    if (count <= 0) return -1;
    const bool lit = from >= 0 && from < count;
    const int columns = (count + perColumn - 1) / perColumn;
    switch (key) {
        case forms::kKeyDown:
            return lit ? (from + 1) % count : 0;
        case forms::kKeyUp:
            return lit ? (from + count - 1) % count : count - 1;
        case forms::kKeyHome:
            return 0;
        case forms::kKeyEnd:
            return count - 1;
        case forms::kKeyRight:
        case forms::kKeyLeft: {
            if (!lit || columns < 2) return -1;
            const int step = key == forms::kKeyRight ? 1 : columns - 1;
            const int column = (from / perColumn + step) % columns;
            const int last = column == columns - 1 ? count - 1 : column * perColumn + perColumn - 1;
            const int to = column * perColumn + from % perColumn;
            return to < last ? to : last;
        }
        default:
            return -1;
    }
}

}  // namespace chooser::rows
