// The stored layout of the chooser window.
#pragma once

#include <cstdint>
#include <span>

#include "forms/control.h"

namespace chooser {

extern const forms::FormSpec kFrmAutoSelect;

// The indexes of the languages the window offers (the CountryImage members
// with a picture that the layout shows), in reading order: down the left
// column of rows, then down the next.
std::span<const std::int16_t> OfferedLanguages();

}  // namespace chooser
