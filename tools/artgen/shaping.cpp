#include "shaping.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <fribidi.h>
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "utf8.h"

namespace artgen {
namespace {

std::string Tag(hb_script_t script) {
    const hb_tag_t t = hb_script_to_iso15924_tag(script);
    return {static_cast<char>(t >> 24), static_cast<char>(t >> 16 & 0xFF), static_cast<char>(t >> 8 & 0xFF),
            static_cast<char>(t & 0xFF)};
}

std::string Character(char32_t c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    return "'" + ToUtf8(std::u32string(1, c)) + "' (" + code + ")";
}

bool Strong(hb_script_t s) { return s != HB_SCRIPT_COMMON && s != HB_SCRIPT_INHERITED; }

std::vector<hb_script_t> Resolved(const std::u32string& words, const ScriptFonts& fonts) {
    hb_unicode_funcs_t* u = hb_unicode_funcs_get_default();
    const size_t n = words.size();
    std::vector<hb_script_t> raw(n), scripts(n);
    for (size_t i = 0; i < n; ++i) raw[i] = hb_unicode_script(u, words[i]);
    const auto letterFrom = [&](size_t i) {
        for (; i < n; ++i)
            if (Strong(raw[i])) return raw[i];
        return HB_SCRIPT_INVALID;
    };
    const auto draws = [&](hb_script_t s, char32_t c) {
        return s != HB_SCRIPT_INVALID && fonts.Has(Tag(s)) && fonts.For(Tag(s)).font->GlyphOf(c);
    };
    std::vector<std::pair<char32_t, size_t>> open;  // the closing bracket each waits for, and where it is
    hb_script_t last = HB_SCRIPT_INVALID;           // the last letter's
    for (size_t i = 0; i < n; ++i) {
        if (Strong(raw[i])) {
            scripts[i] = last = raw[i];
            continue;
        }
        if (raw[i] == HB_SCRIPT_INHERITED) {  // a mark stays with the letter it is on
            scripts[i] = i ? scripts[i - 1] : letterFrom(0);
            if (scripts[i] == HB_SCRIPT_INVALID) scripts[i] = HB_SCRIPT_LATIN;
            continue;
        }
        hb_script_t pair = HB_SCRIPT_INVALID;
        const hb_unicode_general_category_t category = hb_unicode_general_category(u, words[i]);
        if (category == HB_UNICODE_GENERAL_CATEGORY_CLOSE_PUNCTUATION)
            for (size_t k = open.size(); k-- > 0;)
                if (open[k].first == words[i]) {
                    pair = scripts[open[k].second];  // "(Persian)": both brackets in one font
                    open.resize(k);
                    break;
                }
        // A blank, digit or sign goes with the letters before it, else after it, in
        // whichever font of theirs has it: many fonts of one script lack them.
        const hb_script_t candidates[] = {pair, last, letterFrom(i + 1), HB_SCRIPT_LATIN};
        const auto found = std::find_if(std::begin(candidates), std::end(candidates),
                                        [&](hb_script_t s) { return draws(s, words[i]); });
        scripts[i] = found != std::end(candidates) ? *found
                     : pair != HB_SCRIPT_INVALID   ? pair
                     : last != HB_SCRIPT_INVALID   ? last
                                                   : HB_SCRIPT_LATIN;
        if (category == HB_UNICODE_GENERAL_CATEGORY_OPEN_PUNCTUATION)
            open.push_back({hb_unicode_mirroring(u, words[i]), i});
    }
    return scripts;
}

// A run of characters of one script and one embedding level.
struct Run {
    size_t start, length;
    hb_script_t script;
    FriBidiLevel level;
};

void Shape(const std::u32string& words, const Run& run, const Font& font, const std::string& language, double size,
           long& pen, Layout& out) {
    font.SetSize(size);
    hb_font_t* hbFont = hb_ft_font_create_referenced(static_cast<FT_Face>(font.FtFace()));
    hb_ft_font_set_load_flags(hbFont, LoadFlags(size));  // advances as the glyphs are drawn
    hb_buffer_t* buffer = hb_buffer_create();
    // The whole words as context, so that letters join across runs.
    hb_buffer_add_utf32(buffer, reinterpret_cast<const std::uint32_t*>(words.data()), static_cast<int>(words.size()),
                        static_cast<unsigned>(run.start), static_cast<int>(run.length));
    hb_buffer_set_direction(buffer, run.level % 2 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_set_script(buffer, run.script);
    // A language only where the words ask for its glyph forms: never the build machine's locale.
    if (!language.empty()) hb_buffer_set_language(buffer, hb_language_from_string(language.c_str(), -1));
    hb_shape(hbFont, buffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* position = hb_buffer_get_glyph_positions(buffer, &count);
    std::string missing;
    for (unsigned i = 0; i < count; ++i) {
        if (!info[i].codepoint) {
            missing = Character(words[info[i].cluster]) + ", " + Tag(run.script) + ", is not in " + font.FileName() +
                      ": it would be drawn as the font's missing-glyph box";
            break;
        }
        out.glyphs.push_back({&font, info[i].codepoint, static_cast<int>(info[i].cluster), pen + position[i].x_offset,
                              position[i].y_offset});
        pen += position[i].x_advance;
    }
    hb_buffer_destroy(buffer);
    hb_font_destroy(hbFont);
    if (!missing.empty()) throw std::runtime_error(missing);
}

}  // namespace

void ScriptFonts::Add(const std::string& tag, Grid grid, const std::string& path) {
    std::shared_ptr<const Font>& font = files_[path + "#0"];
    if (!font) font = std::make_shared<const Font>(path);
    scripts_[tag] = {grid, font.get(), false, {}};
}

ScriptFonts ScriptFonts::Own(const std::string& tag, const std::string& path, int face,
                             const std::string& language) const {
    ScriptFonts mine = *this;
    std::shared_ptr<const Font>& font = mine.files_[path + "#" + std::to_string(face)];
    if (!font) font = std::make_shared<const Font>(path, face);
    const Font* replaced = For(tag).font;
    for (auto& [_, e] : mine.scripts_)
        if (e.font == replaced) e = {e.grid, font.get(), true, language};
    return mine;
}

const ScriptFonts::Entry& ScriptFonts::For(const std::string& tag) const {
    const auto found = scripts_.find(tag);
    if (found == scripts_.end()) throw std::runtime_error("no font is named for the script " + tag);
    return found->second;
}

std::vector<std::string> ScriptsOf(const std::u32string& words, const ScriptFonts& fonts) {
    std::vector<std::string> tags;
    for (hb_script_t s : Resolved(words, fonts)) tags.push_back(Tag(s));
    return tags;
}

std::string ScriptOf(const std::u32string& words) {
    hb_unicode_funcs_t* u = hb_unicode_funcs_get_default();
    for (char32_t c : words)
        if (Strong(hb_unicode_script(u, c))) return Tag(hb_unicode_script(u, c));
    return Tag(HB_SCRIPT_LATIN);
}

Layout LayOutWords(const std::u32string& words, const ScriptFonts& fonts, double size) {
    const std::vector<hb_script_t> scripts = Resolved(words, fonts);
    const size_t n = words.size();
    const std::vector<FriBidiChar> chars(words.begin(), words.end());
    std::vector<FriBidiCharType> types(n);
    std::vector<FriBidiBracketType> brackets(n);
    std::vector<FriBidiLevel> levels(n);
    FriBidiParType direction = FRIBIDI_PAR_ON;  // from the first strong letter
    fribidi_get_bidi_types(chars.data(), static_cast<FriBidiStrIndex>(n), types.data());
    fribidi_get_bracket_types(chars.data(), static_cast<FriBidiStrIndex>(n), types.data(), brackets.data());
    if (n && !fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), static_cast<FriBidiStrIndex>(n),
                                                   &direction, levels.data()))
        throw std::runtime_error("the bidirectional algorithm failed on the words");

    hb_unicode_funcs_t* u = hb_unicode_funcs_get_default();
    const Font* one = n ? fonts.For(Tag(scripts[0])).font : nullptr;
    bool plain = one != nullptr;
    for (size_t i = 0; i < n && plain; ++i) {
        const ScriptFonts::Entry& e = fonts.For(Tag(scripts[i]));
        const hb_unicode_general_category_t c = hb_unicode_general_category(u, words[i]);
        plain = e.font == one && e.grid != Grid::kOther && !e.own && levels[i] == 0 &&
                c != HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK && c != HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK &&
                c != HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK && c != HB_UNICODE_GENERAL_CATEGORY_FORMAT;
    }
    if (plain) {
        for (size_t i = 0; i < n; ++i)
            if (!one->GlyphOf(words[i]))
                throw std::runtime_error(Character(words[i]) + ", " + Tag(scripts[i]) + ", is not in " +
                                         one->FileName() + ": it would be drawn as the font's missing-glyph box");
        return LayOutPlain(*one, words, size);
    }

    std::vector<Run> runs;
    for (size_t i = 0; i < n; ++i) {
        if (runs.empty() || scripts[i] != runs.back().script || levels[i] != runs.back().level)
            runs.push_back({i, 0, scripts[i], levels[i]});
        ++runs.back().length;
    }
    // Visual order: from the highest level down to the lowest odd one, every
    // stretch of runs at that level or above is reversed.
    int highest = 0, lowestOdd = 255;
    for (const Run& r : runs) {
        highest = std::max<int>(highest, r.level);
        if (r.level % 2) lowestOdd = std::min<int>(lowestOdd, r.level);
    }
    for (int level = highest; level >= lowestOdd && level > 0; --level)
        for (auto from = runs.begin(); from != runs.end();) {
            if (from->level < level) {
                ++from;
                continue;
            }
            auto to = std::find_if(from, runs.end(), [level](const Run& r) { return r.level < level; });
            std::reverse(from, to);
            from = to;
        }
    Layout layout;
    layout.rightToLeft = direction == FRIBIDI_PAR_RTL;
    long pen = 0;
    for (const Run& r : runs) {
        const ScriptFonts::Entry& e = fonts.For(Tag(r.script));
        Shape(words, r, *e.font, e.language, size, pen, layout);
    }
    return layout;
}

std::vector<std::string> FontFiles(const Layout& layout) {
    std::vector<const PlacedGlyph*> byCluster;
    for (const PlacedGlyph& g : layout.glyphs) byCluster.push_back(&g);
    std::stable_sort(byCluster.begin(), byCluster.end(),
                     [](const PlacedGlyph* a, const PlacedGlyph* b) { return a->cluster < b->cluster; });
    std::vector<std::string> files;
    for (const PlacedGlyph* g : byCluster)
        if (std::find(files.begin(), files.end(), g->font->FileName()) == files.end())
            files.push_back(g->font->FileName());
    return files;
}

}  // namespace artgen
