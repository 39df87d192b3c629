#include "scaled_set.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "chooser/layout.h"
#include "forms/picture_scales.h"
#include "png.h"

namespace artgen {
namespace {

using forms::kDrawnDpis;

std::string Stem(const std::string& file) { return file.substr(0, file.rfind('.')); }

// nullptr where the layout this generator was built with has no such control:
// a list of another product's, as a test of the generator may give it.
const forms::ControlSpec* ControlOf(const std::string& file) {
    for (const forms::ControlSpec& c : chooser::kFrmAutoSelect.controls) {
        const std::string name = c.name + (c.index == forms::kNoIndex ? std::string() : std::to_string(c.index));
        if (c.picture && name == Stem(file)) return &c;
    }
    return nullptr;
}

}  // namespace

std::optional<Placement> PlacementOf(const std::string& file, const Image& layoutPicture) {
    const forms::ControlSpec* control = ControlOf(file);
    if (!control) return std::nullopt;
    const forms::ControlSpec& c = *control;
    Placement p{c.picture, {}};
    for (size_t i = 0; i < std::size(kDrawnDpis); ++i) {
        const auto size = forms::PictureSizeAt(c, layoutPicture.width, layoutPicture.height, kDrawnDpis[i]);
        p.at[i] = {kDrawnDpis[i], size.w, size.h};
    }
    return p;
}

std::vector<std::pair<int, Image>> ScaledSet::Add(const std::string& file, const Image& layoutPicture,
                                                  const std::function<Image(const Scale&)>& draw) {
    const std::optional<Placement> place = PlacementOf(file, layoutPicture);
    std::vector<std::pair<int, Image>> drawn;
    if (!place) {
        // The menu then scales the 96-dpi picture at run time.
        std::printf("artgen: the menu's layout has no control for %s: drawn at 96 dpi only\n", file.c_str());
        return drawn;
    }
    for (const Scale& s : place->at) {
        Image img = draw(s);
        if (img.width != s.width || img.height != s.height)
            throw std::runtime_error(file + " was drawn at the wrong size for " + std::to_string(s.dpi) + " dpi");
        const std::string dir = std::to_string(s.dpi);
        std::filesystem::create_directories(folder_ + "/" + dir);
        const std::string png = dir + "/" + Stem(file) + ".png";
        WriteFile(folder_ + "/" + png, Png(img));
        lines_.push_back(std::to_string(place->resourceId) + " PNG" + dir + " \"art/" + png + "\"");
        drawn.emplace_back(s.dpi, std::move(img));
    }
    return drawn;
}

std::vector<std::pair<int, Image>> ScaledSet::AddCopy(const std::string& file, const std::string& source,
                                                      const Image& layoutPicture, const std::vector<Given>& larger) {
    const forms::ControlSpec* c = ControlOf(file);
    if (!c) return Add(file, layoutPicture, {});
    // What shows of a picture at `dpi`: all of it where its control stretches it,
    // else the part from the corner that the control's rectangle holds there.
    const auto shown = [&](const Image& picture, int dpi) {
        if (c->stretch || c->kind != forms::ControlKind::Image) return picture;
        const auto size = forms::PictureSizeAt(*c, layoutPicture.width, layoutPicture.height, dpi);
        return Fitted(picture, size.w, size.h);
    };
    std::vector<Given> given{{forms::kLayoutDpi, source}};
    given.insert(given.end(), larger.begin(), larger.end());
    std::printf("artgen: %s (%s): %s\n", file.c_str(), source.c_str(), HowScaled(given).c_str());
    return Add(file, layoutPicture, [&](const Scale& s) {
        const Given& from = SourceFor(given, s.dpi);
        const Image picture = shown(from.dpi == forms::kLayoutDpi ? layoutPicture : ReadBmp(from.path), from.dpi);
        // One given for this very scale is used as it is, to the pixel that rounding may leave.
        if (from.dpi == s.dpi && std::abs(picture.width - s.width) <= 1 && std::abs(picture.height - s.height) <= 1)
            return Fitted(picture, s.width, s.height);
        return BoxScaled(picture, s.width, s.height);
    });
}

void ScaledSet::WriteScript() const {
    std::string text = "// The pictures drawn for other scales (written by the art generator).\n";
    for (const std::string& line : lines_) text += line + "\n";
    WriteFile(folder_ + "/scaled.rc", std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace artgen
