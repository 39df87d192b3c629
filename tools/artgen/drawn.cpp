#include "drawn.h"

#include <stdexcept>

#include "palette.h"

namespace artgen {

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

}  // namespace artgen
