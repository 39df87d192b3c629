// What the tests expect of the configured product, taken from its description
// (product.h) rather than typed again, so that every suite holds for any product.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "product.h"

namespace facts {

using Language = product::Language;

// The languages in the description's order, shown ones only or hidden ones only.
inline std::vector<const Language*> Languages(bool shown) {
    std::vector<const Language*> out;
    for (const Language& l : product::kLanguages)
        if (l.shown == shown) out.push_back(&l);
    return out;
}
inline std::vector<const Language*> Shown() { return Languages(true); }
inline std::vector<const Language*> Hidden() { return Languages(false); }

// The shown languages' codes: top to bottom on the screen, as the description lists them.
inline std::vector<std::int16_t> ShownCodes() {
    std::vector<std::int16_t> codes;
    for (const Language* l : Shown()) codes.push_back(l->code);
    return codes;
}

// The k-th shown language, counted from the top and wrapping both ways.
inline const Language& ShownAt(int k) {
    const auto shown = Shown();
    const int n = static_cast<int>(shown.size());
    return *shown[static_cast<size_t>((k % n + n) % n)];
}

// A language other than `code` (hidden ones count), or member 0 where the product has one language.
inline std::int16_t OtherThan(std::int16_t code) {
    for (const Language& l : product::kLanguages)
        if (l.code != code) return l.code;
    return 0;
}

// An index that names no member of the picture arrays.
inline std::int16_t NoMember() {
    std::int16_t index = 1;
    while (std::any_of(std::begin(product::kLanguages), std::end(product::kLanguages),
                       [&](const Language& l) { return l.code == index; }))
        ++index;
    return index;
}

}  // namespace facts

// The default product (products/velbrook of this tree) is the only one whose
// pictures the tests know pixel for pixel; with any other, such a test says so.
#define SKIP_UNLESS_DEFAULT_PRODUCT()                                                                          \
    if (!VELBROOK_DEFAULT_PRODUCT)                                                                             \
    GTEST_SKIP() << "This checks the default product's pictures (products/velbrook) and is skipped for "       \
                 << VELBROOK_PRODUCT_NAME
