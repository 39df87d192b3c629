// Starting the setup program of the chosen language.
#pragma once

#include <string>

#include "forms/runtime.h"

namespace ModSelect {

// The code of the language last chosen; empty until a press. The press handler
// stores it and hands it to RunSetup; nothing else reads it.
extern std::wstring LanguageCode;

enum class Outcome {
    Started,
    NoSetup,   // the code has no row in the language table
    Declined,  // the user turned down the elevation prompt
};

// Starts the setup program of the language `code` (the product's description names
// its folder and program) from its folder beside the program.
// A failure to start is a run-time error.
Outcome RunSetup(forms::Runtime& rt, const std::wstring& code);

}  // namespace ModSelect
