// Writes the chooser window's layout in client pixels as JSON, for the
// end-to-end tests, so that they read the rectangles from the layout table
// instead of typing them again. Built and run on the build machine.
#include <cstdio>

#include "chooser/layout.h"
#include "forms/form.h"
#include "forms/geometry.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) return 1;
    const forms::FormSpec& form = chooser::kFrmAutoSelect;
    const int dpi = forms::kLayoutDpi;
    std::fprintf(out, "{\"client\": [%d, %d],\n \"offered\": [", forms::TwipsToPixels(form.clientWidth, dpi),
                 forms::TwipsToPixels(form.clientHeight, dpi));
    const char* comma = "";
    for (std::int16_t index : chooser::OfferedLanguages()) {
        std::fprintf(out, "%s%d", comma, index);
        comma = ", ";
    }
    std::fprintf(out, "],\n \"controls\": {");
    comma = "";
    for (const forms::ControlSpec& c : form.controls) {
        const forms::PixelRect r = forms::ToPixels(c.rect, dpi);
        std::fprintf(out, "%s\n  \"%s\": {\"rect\": [%d, %d, %d, %d], \"visible\": %s}", comma,
                     forms::ControlName(c.name, c.index).c_str(), r.x, r.y, r.w, r.h, c.visible ? "true" : "false");
        comma = ",";
    }
    std::fprintf(out, "}}\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
