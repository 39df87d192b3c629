#include "drawn.h"

#include <stdexcept>

#include "design.h"
#include "palette.h"

namespace artgen {

Image Drawn(const std::string& name, const Font& latin) {
    constexpr design::DrawnWords d = design::kDrawn;
    const auto exitWords = [&] {
        const Mask wide = latin.Render(U"Exit Setup", d.exitSize);
        return Fit(wide, d.exitWidth, wide.height);
    };
    if (name == "Image4.bmp") {
        Image img(design::kImage4.width, design::kImage4.height, kNavy);
        Blend(img, latin.Render(U"Please Select Language:", d.promptSize), 0, d.promptTop, kWhite);
        return img;
    }
    if (name == "Image3.bmp") {
        Image img(design::kImage3.width, design::kImage3.height, kNavy);
        Blend(img, exitWords(), 0, d.exitPictureTop, kWhite);
        return img;
    }
    if (name == "Command1.bmp") {
        Image img(design::kCommand1.width, design::kCommand1.height, kNavy);
        Blend(img, exitWords(), d.exitButtonLeft, d.exitButtonTop, kWhite);  // the same words, right and lower
        return img;
    }
    if (name == "Picture1.bmp") return Image(design::kPicture1.width, design::kPicture1.height, kNavy);
    throw std::runtime_error("nothing to draw for " + name);
}

Image Logo(const std::u32string& words, const Font& latin) {
    constexpr design::DrawnWords d = design::kDrawn;
    Image img(design::kImage2.width, design::kImage2.height, kNavy);
    // The name fills its box, condensed or widened: product.py refuses one that would lose its shape.
    Blend(img, Fit(latin.Render(words, d.logoSize), d.logoWidth, d.logoHeight), d.logoLeft, d.logoTop, kWhite);
    img.Fill(d.logoLeft, d.logoRuleTop, d.logoWidth, d.logoRuleHeight, Rgb{128, 128, 128});  // the grey detail beneath
    return img;
}

}  // namespace artgen
