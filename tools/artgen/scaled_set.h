// The pictures drawn for the scales other than the layout's: each at exactly
// the size the menu gives its control there, as a PNG under art/<dpi>/, and
// the resource script that embeds them (type PNG<dpi>, the picture's own id).
#pragma once

#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "forms/picture_scales.h"
#include "given.h"
#include "image.h"
#include "scale.h"

namespace artgen {

// Where a picture file stands in the menu's layout: "CountryImage3.bmp" is the
// picture of CountryImage(3). None where the layout has no such control.
struct Placement {
    int resourceId;
    Scale at[std::size(forms::kDrawnDpis)];  // by kDrawnDpis
};
std::optional<Placement> PlacementOf(const std::string& file, const Image& layoutPicture);

class ScaledSet {
public:
    explicit ScaledSet(const std::string& artFolder) : folder_(artFolder) {}

    // The picture `file` (whose 96-dpi picture is `layoutPicture`) at every
    // drawn scale, as `draw` makes it for each. Returns them for the contact
    // sheet: none, and a line that says so, where the layout has no place for it.
    std::vector<std::pair<int, Image>> Add(const std::string& file, const Image& layoutPicture,
                                           const std::function<Image(const Scale&)>& draw);
    // The product's own picture (`layoutPicture`, read from `source`) at each scale: as
    // `larger` gives it for that scale, else box-filtered from the nearest given (SourceFor).
    std::vector<std::pair<int, Image>> AddCopy(const std::string& file, const std::string& source,
                                               const Image& layoutPicture, const std::vector<Given>& larger);

    // art/scaled.rc, naming every PNG written.
    void WriteScript() const;

private:
    std::string folder_;
    std::vector<std::string> lines_;
};

}  // namespace artgen
