#include "given.h"

#include <iterator>
#include <stdexcept>

#include "forms/picture_scales.h"

namespace artgen {
namespace {

std::string Percent(int dpi) { return std::to_string(dpi * 100 / 96) + " %"; }

}  // namespace

const Given& SourceFor(const std::vector<Given>& given, int dpi) {
    const Given* above = nullptr;
    const Given* largest = nullptr;
    for (const Given& g : given) {
        if (g.dpi == dpi) return g;
        if (g.dpi > dpi && (!above || g.dpi < above->dpi)) above = &g;
        if (!largest || g.dpi > largest->dpi) largest = &g;
    }
    if (!largest) throw std::logic_error("no picture is given");
    return above ? *above : *largest;
}

std::string HowScaled(const std::vector<Given>& given) {
    if (given.size() == 1) {
        return "given at 96 dpi only: scaled to " + std::to_string(forms::kDrawnDpis[0] * 100 / 96) + " to " +
               Percent(std::end(forms::kDrawnDpis)[-1]) + " with a box filter";
    }
    std::string said;
    for (int dpi : forms::kDrawnDpis) {
        const int from = SourceFor(given, dpi).dpi;
        said += (said.empty() ? "" : ", ") + Percent(dpi) +
                (from == dpi ? " given" : (from > dpi ? " reduced from " : " enlarged from ") + Percent(from));
    }
    return said + " (with a box filter)";
}

}  // namespace artgen
