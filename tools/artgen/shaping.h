// Words in any script: the script of each character (HarfBuzz's Unicode
// functions), the font of each script, the order of the words' runs (the Unicode
// bidirectional algorithm, FriBidi) and their glyphs (HarfBuzz's shaping).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "text.h"

namespace artgen {

// The grid of a face that words in a script stand on (design.toml's [face.<grid>]).
enum class Grid { kLatin, kCjk, kOther };

// The font and grid of each script, by its ISO 15924 tag, as art.list's font lines
// name them (menubuild.product writes them from src/resources/scripts.toml).
class ScriptFonts {
public:
    struct Entry {
        Grid grid;
        const Font* font;
        bool own = false;      // a language's own font (Own), always shaped
        std::string language;  // BCP 47: the language HarfBuzz is told, for its glyph forms; empty: none
    };
    void Add(const std::string& tag, Grid grid, const std::string& path);  // each file is opened once
    const Entry& For(const std::string& tag) const;  // throws, naming the script, where none was added
    bool Has(const std::string& tag) const { return scripts_.count(tag) > 0; }

    // These fonts as one language's words are drawn (art.list's face-font line): the
    // face `face` of the font file `path` in place of the font of the script `tag`, and
    // of every script drawn in that same font here (Japanese: Han and kana alike), each
    // run shaped for `language` where it is not empty.
    ScriptFonts Own(const std::string& tag, const std::string& path, int face, const std::string& language) const;

private:
    std::map<std::string, std::shared_ptr<const Font>> files_;  // by path and face; shared with Own's copies
    std::map<std::string, Entry> scripts_;
};

// The script each character of `words` is drawn in: a letter's own; an inherited
// one's (a combining mark) that of the letter it is on; a common one's (blanks,
// digits, punctuation) the first whose font has it of: its opening bracket's
// (for a closing one), the letters' before it, the letters' after it, Latin.
std::vector<std::string> ScriptsOf(const std::u32string& words, const ScriptFonts& fonts);

// The script the words are written in: their first letter's (Latin without one).
std::string ScriptOf(const std::u32string& words);

// The words laid out at a size in their scripts' fonts: each run of one script
// and one direction shaped by HarfBuzz, the runs in the order the bidirectional
// algorithm gives them. Words that need no shaping (every character in one of
// the Latin or CJK fonts, no mark or format character, left to right) are laid
// out as they always were, glyph by glyph (LayOutPlain): shaping moves their
// glyphs by fractions of a pixel and would change every picture made so far.
// Throws for a character whose font has no glyph for it, naming both.
Layout LayOutWords(const std::u32string& words, const ScriptFonts& fonts, double pixelSize);

// The font files that draw a layout, in the order of the characters they draw.
std::vector<std::string> FontFiles(const Layout& layout);

}  // namespace artgen
