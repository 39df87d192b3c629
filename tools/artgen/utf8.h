// UTF-8 decoding, for the words of art.list, and encoding, for messages.
#pragma once

#include <string>

namespace artgen {

// The code points of UTF-8 text. Not a validator: the list is written by the
// build's own script, so its bytes are trusted to be well formed.
std::u32string FromUtf8(const std::string& s);

std::string ToUtf8(const std::u32string& s);

}  // namespace artgen
