#include "chooser/frm_auto_select.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "forms/errors.h"
#include "chooser/layout.h"
#include "chooser/rows.h"
#include "design.h"
#include "launcher/mod_select.h"

namespace chooser {

namespace {

// The handlers a control's events reach.
enum class Handlers { None, Form, CountryImage, CountryPic, Command1, Image3 };

struct Route {
    Handlers to;
    std::int16_t index;  // of an array member
};

// The route of each control, by its place in the layout: built once.
Route RouteOf(forms::ControlId id) {
    static const std::vector<Route> routes = [] {
        std::vector<Route> all;
        for (const forms::ControlSpec& c : kFrmAutoSelect.controls) {
            const std::string_view name = c.name;
            const Handlers to = name == kCountryImage ? Handlers::CountryImage
                                : name == kCountryPic ? Handlers::CountryPic
                                : name == kCommand1   ? Handlers::Command1
                                : name == kImage3     ? Handlers::Image3
                                                      : Handlers::None;
            all.push_back({to, c.index});
        }
        return all;
    }();
    return id == forms::kFormItself ? Route{Handlers::Form, 0} : routes.at(static_cast<size_t>(id));
}

}  // namespace

void FrmAutoSelect::MouseDown(forms::ControlId control, const forms::MouseArgs& a) {
    const Route r = RouteOf(control);
    if (r.to == Handlers::CountryPic) CountryPic_MouseDown(r.index, a.button, a.shift, a.x, a.y);
}

void FrmAutoSelect::MouseMove(forms::ControlId control, const forms::MouseArgs& a) {
    const Route r = RouteOf(control);
    // The pointer takes over from the keyboard where it lights another language or
    // reaches the bare window; the handler below then shows or lights the faces.
    const std::int16_t chosen = KeyboardIndex();
    if (chosen && (r.to == Handlers::Form || (r.to == Handlers::CountryImage && r.index != chosen))) {
        rt_.SetKeyboardChoice({});
    }
    if (r.to == Handlers::Form) Form_MouseMove(a.button, a.shift, a.x, a.y);
    if (r.to == Handlers::CountryImage) CountryImage_MouseMove(r.index, a.button, a.shift, a.x, a.y);
}

void FrmAutoSelect::MouseUp(forms::ControlId control, const forms::MouseArgs& a) {
    const Route r = RouteOf(control);
    if (r.to == Handlers::CountryImage) CountryImage_MouseUp(r.index, a.button, a.shift, a.x, a.y);
}

void FrmAutoSelect::Click(forms::ControlId control) {
    const Route r = RouteOf(control);
    if (r.to == Handlers::Command1) Command1_Click();
    if (r.to == Handlers::Image3) Image3_Click();
}

bool FrmAutoSelect::KeyDown(forms::ControlId control, std::int16_t key, std::int16_t shift) {
    return RouteOf(control).to == Handlers::Command1 && Command1_KeyDown(key, shift);
}

bool FrmAutoSelect::Command1_KeyDown(std::int16_t KeyCode, std::int16_t) {
    const auto offered = OfferedLanguages();
    if (offered.empty()) return false;
    const std::int16_t current = KeyboardIndex();
    const auto at = std::find(offered.begin(), offered.end(), current);
    const bool chosen = at != offered.end();
    switch (KeyCode) {
        case forms::kKeyEscape:
            if (!chosen) return false;
            EndKeyboardChoice();
            return true;
        case forms::kKeyReturn:
        case forms::kKeySpace:
            if (!chosen) return false;  // the exit button's own click
            CountryPic_MouseDown(current, forms::kLeftButton, 0, 0, 0);
            return true;
        default: {
            // The arrows, Home and End: the rows in reading order, and across the columns.
            const int to = rows::KeyTarget(static_cast<int>(offered.size()), design::kRowsPerColumn,
                                           chosen ? static_cast<int>(at - offered.begin()) : -1, KeyCode);
            if (to < 0) return false;
            ChooseByKeyboard(offered[static_cast<size_t>(to)]);
            return true;
        }
    }
}

std::int16_t FrmAutoSelect::KeyboardIndex() {
    const forms::ControlRef chosen = rt_.KeyboardChoice();
    return chosen.id == forms::kFormItself ? 0 : kFrmAutoSelect.controls[chosen.id].index;
}

void FrmAutoSelect::ChooseByKeyboard(std::int16_t index) {
    // Chosen before the hover handler lets events run, so that a key already queued
    // steps on from this choice.
    rt_.SetKeyboardChoice(CountryPic(index));
    // As if the pointer had moved onto the language's normal face.
    CountryImage_MouseMove(index, 0, 0, 0, 0);
}

void FrmAutoSelect::EndKeyboardChoice() {
    Form_MouseMove(0, 0, 0, 0);  // as over the bare window: the normal face shows again
    rt_.SetKeyboardChoice({});
}

void FrmAutoSelect::CountryImage_MouseMove(std::int16_t Index, std::int16_t, std::int16_t, float, float) {
    if (Index != HoverIndex) {
        // Failures are ignored from here on: a failing step is skipped, the rest still runs.
        forms::ResumeNext([&] { rt_.SetVisible(CountryImage(HoverIndex), true); });
        HoverIndex = Index;
        forms::ResumeNext([&] { rt_.SetVisible(CountryImage(Index), false); });
        forms::ResumeNext([&] { rt_.DoEvents(); });
        return;
    }
    rt_.SetVisible(CountryImage(Index), false);
    rt_.DoEvents();
}

void FrmAutoSelect::Form_MouseMove(std::int16_t, std::int16_t, float, float) {
    rt_.SetVisible(CountryImage(HoverIndex), true);
}

void FrmAutoSelect::CountryImage_MouseUp(std::int16_t, std::int16_t, std::int16_t, float, float) {
    rt_.SetVisible(CountryImage(HoverIndex), true);
}

void FrmAutoSelect::Form_GotFocus() { rt_.SetVisible(CountryImage(HoverIndex), false); }

void FrmAutoSelect::Form_Paint() {
    const float w = rt_.ScaleWidth(Picture1());
    const float h = rt_.ScaleHeight(Picture1());
    // A tile that does not advance would tile for ever.
    if (!(w > 0) || !(h > 0)) return;
    for (float y = 0; y < rt_.ScaleHeight();) {
        for (float x = 0; x < rt_.ScaleWidth();) {
            rt_.PaintPicture(Picture1(), x, y, w, h);
            const float next = forms::CheckedSingle(static_cast<double>(x) + w, L"Tiling the background");
            if (next <= x) return;
            x = next;
        }
        const float next = forms::CheckedSingle(static_cast<double>(y) + h, L"Tiling the background");
        if (next <= y) return;
        y = next;
    }
}

void FrmAutoSelect::CountryPic_MouseDown(std::int16_t Index, std::int16_t, std::int16_t, float, float) {
    // The first press wins. Letting events run (and a prompt's own message loop) can
    // deliver another press, the second click of a double click, inside this one:
    // it starts nothing.
    if (pressing_) return;
    struct Pressing {
        bool& flag;
        explicit Pressing(bool& f) : flag(f) { flag = true; }
        ~Pressing() { flag = false; }
    } pressing(pressing_);
    rt_.SetVisible(CountryImage(Index), false);
    rt_.DoEvents();
    ModSelect::LanguageCode = std::to_wstring(Index);
    // A declined elevation prompt leaves the menu open, so the user can choose again.
    if (ModSelect::RunSetup(rt_, ModSelect::LanguageCode) == ModSelect::Outcome::Declined) return;
    rt_.Unload();
}

}  // namespace chooser
