// A minimal PNG writer: the pictures drawn for other scales (which the menu
// decodes with WIC) and the contact sheet. Indexed where 256 colours do.
#pragma once

#include <cstdint>
#include <vector>

#include "image.h"

namespace artgen {

std::vector<std::uint8_t> Png(const Image& img);

}  // namespace artgen
