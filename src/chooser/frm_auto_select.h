// The language chooser window: its handlers, named as the designer named them.
#pragma once

#include <cstdint>

#include "chooser/controls.h"
#include "forms/form.h"
#include "forms/runtime.h"

namespace chooser {

class FrmAutoSelect : public forms::EventSink {
public:
    explicit FrmAutoSelect(forms::Runtime& runtime) : rt_(runtime) {}

    // The load step and the exit controls, in load.cpp: they start and end the
    // program. Image3 is hidden and nothing shows it, so its click cannot happen;
    // the handler is kept because the layout carries the picture and its click ends
    // the program like Command1's.
    void Form_Load();
    void Command1_Click();
    void Image3_Click();

    // The hover highlight.
    void CountryImage_MouseMove(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Form_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void CountryImage_MouseUp(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Form_GotFocus();

    // The tiled background.
    void Form_Paint();

    // The press on a language picture.
    void CountryPic_MouseDown(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X, float Y);

    // The keyboard, which reaches the form through the exit button that keeps the
    // focus: the arrows, Home and End light a language through the hover handler,
    // Enter and Space press it through the press handler, Escape puts it out.
    // Returns whether the key was taken; otherwise the button acts on it.
    bool Command1_KeyDown(std::int16_t KeyCode, std::int16_t Shift);
    // The language lit from the keyboard; 0 while none is. The run-time keeps the
    // choice, since the window shows it and a screen reader hears it.
    std::int16_t KeyboardIndex();

    // The language picture the pointer last moved over while its normal face showed.
    std::int16_t HoverIndex = 0;

    // Event routing from the run-time to the handlers above.
    void Load() override { Form_Load(); }
    void Paint() override { Form_Paint(); }
    void GotFocus() override { Form_GotFocus(); }
    void MouseDown(forms::ControlId control, const forms::MouseArgs& a) override;
    void MouseMove(forms::ControlId control, const forms::MouseArgs& a) override;
    void MouseUp(forms::ControlId control, const forms::MouseArgs& a) override;
    void Click(forms::ControlId control) override;
    bool KeyDown(forms::ControlId control, std::int16_t key, std::int16_t shift) override;

private:
    void ChooseByKeyboard(std::int16_t index);
    void EndKeyboardChoice();

    forms::Runtime& rt_;
    bool pressing_ = false;  // a press is being handled
};

}  // namespace chooser
