#include "contact_sheet.h"

#include "palette.h"
#include "png.h"

namespace artgen {

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

Image IconPicture(const Icon4& icon, Rgb ground) {
    Image img(32, 32, ground);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (!icon.transparent[y][x]) img.At(x, y) = icon.palette[icon.index[y][x]];
    return img;
}

}  // namespace artgen
