#include "drawn.h"

#include <stdexcept>

#include "palette.h"

namespace artgen {

Image Drawn(const std::string& name, const Font& latin, const Scale& s) {
    // Condensed a little so the button's words span x 64 to 136.
    const auto exitWords = [&] {
        const Mask wide = latin.Render(U"Exit Setup", 16 * s.Factor());
        return Fit(wide, s(73), wide.height);
    };
    Image img(s.Width(201), s.Height(61), kNavy);
    if (name == "Image4.bmp") {
        Blend(img, latin.Render(U"Please Select Language:", 16 * s.Factor()), 0, s(23), kWhite);
    } else if (name == "Image3.bmp") {
        Blend(img, exitWords(), 0, s(21), kWhite);
    } else if (name == "Command1.bmp") {
        Blend(img, exitWords(), s(64), s(23), kWhite);  // the same words, 64 right and 2 lower
    } else if (name == "Image2.bmp") {
        img = Image(s.Width(171), s.Height(86), kNavy);
        Blend(img, Fit(latin.Render(U"KESTRIN", 48 * s.Factor()), s(100), s(20)), s(31), s(35), kWhite);
        img.Fill(s(31), s(58), s(131) - s(31), s(60) - s(58), Rgb{128, 128, 128});  // the grey detail beneath
    } else if (name == "Picture1.bmp") {
        img = Image(s.Width(69), s.Height(69), kNavy);
    } else {
        throw std::runtime_error("nothing to draw for " + name);
    }
    return img;
}

}  // namespace artgen
