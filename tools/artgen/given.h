// A product's own picture, given at 96 dpi and perhaps larger for some of the
// drawn scales: which of them each scale's picture is made from.
#pragma once

#include <string>
#include <vector>

namespace artgen {

struct Given {
    int dpi;
    std::string path;
};

// Of `given` (the 96-dpi picture among them), the one the picture at `dpi` is
// made from: the one given for it; else the nearest above, reduced, which
// keeps its detail; else the largest, enlarged.
const Given& SourceFor(const std::vector<Given>& given, int dpi);

// How each drawn scale's picture is made from them, for the build's output.
std::string HowScaled(const std::vector<Given>& given);

}  // namespace artgen
