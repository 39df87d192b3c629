// The menu's colours, shared by the faces, flags and fixed pictures.
#pragma once

#include "image.h"

namespace artgen {

constexpr Rgb kNavy{0, 38, 101};      // the window's ground, and a normal face's
constexpr Rgb kAzure{2, 128, 255};    // a highlighted face's ground
constexpr Rgb kTint{64, 159, 255};    // the one hue a highlighted flag is drawn in
constexpr Rgb kRule{38, 70, 124};     // the line beneath a normal face
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kPaleBlue{230, 242, 255};  // Latin words on a highlighted face

}  // namespace artgen
