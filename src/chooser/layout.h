// The stored layout of the chooser window.
#pragma once

#include "forms/control.h"

namespace chooser {

extern const forms::FormSpec kFrmAutoSelect;

}  // namespace chooser
