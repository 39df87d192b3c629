// A minimal PNG writer: for the contact sheet only.
#pragma once

#include <cstdint>
#include <vector>

#include "image.h"

namespace artgen {

std::vector<std::uint8_t> Png(const Image& img);

}  // namespace artgen
