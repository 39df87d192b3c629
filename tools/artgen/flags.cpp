#include "flags.h"

#include <stdexcept>
#include <utility>

#include "design.h"
#include "palette.h"
#include "shapes.h"

namespace artgen {
namespace {

// A flag the generator draws, in its own colours or, for the highlighted face,
// in the one hue of the highlight.
Image BuiltInFlag(const std::string& name, bool lit, const Scale& s) {
    const int fw = s(design::kFlag.width), fh = s(design::kFlag.height);
    const double f = s.Factor();
    Image flag(fw, fh, kWhite);
    // A layout rectangle by its scaled edges, so that neighbouring fields meet.
    const auto fill = [&](int x, int y, int w, int h, Rgb c) { flag.Fill(s(x), s(y), s(x + w) - s(x), s(y + h) - s(y), c); };
    if (name == "taiwan") {  // red field, blue canton with a white sun
        flag.Fill(0, 0, fw, fh, lit ? kTint : Rgb{234, 2, 4});
        fill(0, 0, 20, 14, lit ? kAzure : Rgb{4, 9, 160});
        Shape(flag, 0, 0, s(20), s(14), Star(10 * f, 7 * f, 5.5 * f, 3.4 * f, 12), kWhite);
        Shape(flag, 0, 0, s(20), s(14), Disc(10 * f, 7 * f, 3.0 * f), lit ? kAzure : Rgb{4, 9, 160});
        fill(8, 5, 4, 4, kWhite);
    } else if (name == "china") {  // red field, five yellow stars in the top-left 13 x 11
        flag.Fill(0, 0, fw, fh, lit ? kTint : Rgb{253, 27, 10});
        const Rgb big = lit ? kWhite : Rgb{255, 222, 0}, small = lit ? Rgb{200, 228, 255} : Rgb{255, 222, 0};
        Shape(flag, 0, 0, s(13), s(11), Star(4.5 * f, 4.5 * f, 3.6 * f, 1.5 * f, 5), big);
        for (auto [cx, cy] : {std::pair{9.0, 1.6}, {11.2, 3.6}, {11.2, 6.6}, {9.0, 8.8}})
            Shape(flag, 0, 0, s(13), s(11), Star(cx * f, cy * f, 1.5 * f, 0.7 * f, 5), small);
    } else if (name == "united-states") {  // thirteen stripes, blue canton with a dotted star pattern
        for (int s = 0; s < 13; ++s) {
            const int y0 = s * fh / 13, y1 = (s + 1) * fh / 13;
            const Rgb red = lit ? Rgb{150, 200, 255} : Rgb{191, 10, 48};
            const Rgb white = lit ? Rgb{205, 230, 255} : kWhite;
            flag.Fill(0, y0, fw, y1 - y0, s % 2 ? white : red);
        }
        fill(0, 0, 20, 15, lit ? kTint : Rgb{10, 49, 97});
        for (int y = 1; y < 14; y += 2)
            for (int x = 1 + (y / 2) % 2; x < 19; x += 2) fill(x, y, 1, 1, lit ? Rgb{170, 210, 255} : kWhite);
    } else if (name == "japan") {  // white field, red disc 16 pixels across
        Shape(flag, 0, 0, fw, fh, Disc(fw / 2.0, fh / 2.0, 8 * f), lit ? kTint : Rgb{250, 5, 19});
    } else {
        throw std::runtime_error("no built-in flag " + name);
    }
    return flag;
}

// A flag from a picture file, the one given for the scale or made from the
// nearest given: as it is, or for the highlighted face in the one hue of the
// highlight, dark parts in the tint and light ones towards white.
Image FlagFromFile(const std::vector<Given>& given, bool lit, const Scale& s) {
    Image flag = ReadBmp(SourceFor(given, s.dpi).path);
    const int fw = s(design::kFlag.width), fh = s(design::kFlag.height);
    if (flag.width != fw || flag.height != fh) flag = BoxScaled(flag, fw, fh);
    if (lit) {
        for (Rgb& p : flag.pixels) p = Mix(kTint, kWhite, (0.299 * p.r + 0.587 * p.g + 0.114 * p.b) / 255.0);
    }
    return flag;
}

}  // namespace

void Flag(Image& img, const std::string& source, int top, bool lit, const Scale& s, const std::vector<Given>& larger) {
    const bool builtIn = source.rfind("built-in:", 0) == 0;
    std::vector<Given> given{{96, source.substr(5)}};
    given.insert(given.end(), larger.begin(), larger.end());
    const Image flag = builtIn ? BuiltInFlag(source.substr(9), lit, s) : FlagFromFile(given, lit, s);
    const Rgb ground = lit ? kAzure : kNavy;
    for (int y = 0; y < flag.height; ++y)
        for (int x = 0; x < flag.width; ++x) {
            const bool edge = x == 0 || y == 0 || x == flag.width - 1 || y == flag.height - 1;
            const Rgb p = flag.pixels[static_cast<size_t>(y) * flag.width + x];
            img.At(s(design::kFlagLeft) + x, top + y) = edge ? Mix(p, ground, 0.5) : p;
        }
}

}  // namespace artgen
