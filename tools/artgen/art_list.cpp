#include "art_list.h"

#include <sstream>
#include <stdexcept>
#include <vector>

#include "utf8.h"

namespace artgen {
namespace {

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    return fields;
}

}  // namespace

ArtList::ArtList(const std::string& path) : path_(path), in_(path) {
    if (!in_) throw std::runtime_error("cannot read " + path);
}

bool ArtList::Next(ArtItem& item) {
    for (std::string line; std::getline(in_, line);) {
        const std::vector<std::string> f = Fields(line);
        if (f.empty() || f[0].empty() || f[0][0] == '#') continue;
        if (f[0] == "draw" && f.size() == 2) {
            item = {ArtItem::Kind::kDraw, f[1], {}, {}};
        } else if (f[0] == "face" && f.size() == 6) {
            item = {ArtItem::Kind::kFace, f[1], {}, {std::stoi(f[1]), f[2] == "latin", f[3], std::stoi(f[4]), FromUtf8(f[5])}};
        } else if (f[0] == "copy" && f.size() == 3) {
            item = {ArtItem::Kind::kCopy, f[1], f[2], {}};
        } else if (f[0] == "icon" && f.size() == 2) {
            item = {ArtItem::Kind::kIcon, {}, f[1], {}};
        } else {
            throw std::runtime_error("cannot read the line \"" + line + "\" of " + path_);
        }
        return true;
    }
    return false;
}

}  // namespace artgen
