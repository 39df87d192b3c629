// A minimal PNG writer: the pictures drawn for other scales (which the menu
// reads itself, src/forms/png_reader.h: keep to the kind it reads) and the contact sheet. Indexed where 256 colours do.
#pragma once

#include <cstdint>
#include <vector>

#include "image.h"

namespace artgen {

std::vector<std::uint8_t> Png(const Image& img);

}  // namespace artgen
