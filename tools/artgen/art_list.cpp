#include "art_list.h"

#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "utf8.h"

namespace artgen {
namespace {

struct KindFields {
    const char* name;
    ArtItem::Kind kind;
    std::set<std::string> fields;
};

const std::vector<KindFields>& Kinds() {
    static const std::vector<KindFields> kinds = {
        {"font", ArtItem::Kind::kFont, {"script", "grid", "source"}},
        {"draw", ArtItem::Kind::kDraw, {"file"}},
        {"logo", ArtItem::Kind::kLogo, {"file", "words"}},
        {"face", ArtItem::Kind::kFace, {"code", "name", "flag", "highlighted_bits", "words"}},
        {"copy", ArtItem::Kind::kCopy, {"file", "source"}},
        {"larger", ArtItem::Kind::kLarger, {"file", "dpi", "source"}},
        {"larger-flag", ArtItem::Kind::kLargerFlag, {"code", "dpi", "source"}},
        {"face-font", ArtItem::Kind::kFaceFont, {"code", "source", "face", "language"}},
        {"icon", ArtItem::Kind::kIcon, {"source"}},
        {"icon-sizes", ArtItem::Kind::kIconSizes, {"source"}},
    };
    return kinds;
}

int Number(const std::string& field, const std::string& value, const std::string& line) {
    std::size_t used = 0;
    int n = 0;
    try {
        n = std::stoi(value, &used);
    } catch (const std::exception&) {
    }
    if (value.empty() || used != value.size())
        throw std::runtime_error("the field " + field + " of the line \"" + line + "\" is no number");
    return n;
}

}  // namespace

ArtList::ArtList(const std::string& path) : path_(path), in_(path) {
    if (!in_) throw std::runtime_error("cannot read " + path);
}

bool ArtList::Next(ArtItem& item) {
    for (std::string line; std::getline(in_, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::stringstream in(line);
        std::string kindName;
        std::getline(in, kindName, '\t');
        const KindFields* kind = nullptr;
        for (const KindFields& k : Kinds())
            if (kindName == k.name) kind = &k;
        if (!kind) throw std::runtime_error("cannot read the line \"" + line + "\" of " + path_ + ": no kind " + kindName);
        std::map<std::string, std::string> f;
        for (std::string field; std::getline(in, field, '\t');) {
            const std::size_t eq = field.find('=');
            const std::string name = field.substr(0, eq);
            if (eq == std::string::npos || !kind->fields.count(name) || f.count(name))
                throw std::runtime_error("the line \"" + line + "\" of " + path_ + " has a field " + name +
                                         " that a " + kindName + " line has not, or has twice");
            f[name] = field.substr(eq + 1);
        }
        for (const std::string& name : kind->fields)
            if (!f.count(name))
                throw std::runtime_error("the line \"" + line + "\" of " + path_ + " lacks the field " + name);
        item = {kind->kind, f["file"], f["source"], Grid::kLatin, FromUtf8(f["words"]), {}, 96, 0, {}};
        if (f.count("dpi")) item.dpi = Number("dpi", f["dpi"], line);
        if (kind->kind == ArtItem::Kind::kLargerFlag || kind->kind == ArtItem::Kind::kFaceFont)
            item.language.code = Number("code", f["code"], line);
        if (kind->kind == ArtItem::Kind::kFaceFont) item.face = Number("face", f["face"], line), item.forms = f["language"];
        if (kind->kind == ArtItem::Kind::kFont) {
            const std::string& grid = f["grid"];
            if (grid != "latin" && grid != "cjk" && grid != "other")
                throw std::runtime_error("the field grid of the line \"" + line + "\" is none of latin, cjk, other");
            item.grid = grid == "latin" ? Grid::kLatin : grid == "cjk" ? Grid::kCjk : Grid::kOther;
            item.file = f["script"];
        }
        if (kind->kind == ArtItem::Kind::kFace) {
            item.file = f["code"];
            item.language = {Number("code", f["code"], line), f["name"], f["flag"],
                             Number("highlighted_bits", f["highlighted_bits"], line), FromUtf8(f["words"]), {}};
        }
        return true;
    }
    return false;
}

}  // namespace artgen
