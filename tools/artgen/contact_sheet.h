// The contact sheet: every picture the generator wrote, on one PNG for review.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "image.h"
#include "text.h"

namespace artgen {

struct SheetPicture {
    std::string name;
    Image picture;                              // as the layout has it (96 dpi)
    std::vector<std::pair<int, Image>> scales;  // by dpi: the same picture drawn for other scales
    std::string note;                           // under the picture: what drew it, where that is worth saying
};

// Every picture at 4x on a grey ground, each under its file's name in `label`
// with its note beneath, then each of its scales at its own size, under its percentage.
void ContactSheet(const std::string& path, const std::vector<SheetPicture>& pictures, const Font& label);

// A 32 x 32 icon or cursor as a picture for the sheet, its transparent pixels in `ground`.
Image IconPicture(const Icon4& icon, Rgb ground);

}  // namespace artgen
