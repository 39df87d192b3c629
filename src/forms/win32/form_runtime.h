// The run-time services that a form's handlers call, for a form shown in a
// FormWindow: geometry, visibility and captions, drawing on the background,
// the message box, starting a program, pending events, unloading and ending.
// They work on the window's site and its painter.
#pragma once

#include <windows.h>

#include "forms/runtime.h"
#include "forms/win32/form_site.h"
#include "forms/win32/painter.h"

namespace forms::win32 {

class FormRuntime final : public Runtime {
public:
    // `anotherCopy`: whether another copy of the program ran when this one started.
    FormRuntime(FormSite& site, FormPainter& painter, bool anotherCopy)
        : site_(site), painter_(painter), anotherCopy_(anotherCopy) {}

    bool PrevInstance() override { return anotherCopy_; }
    std::wstring AppPath() override;
    void MsgBox(const std::wstring& prompt, int style) override;
    [[noreturn]] void End() override;
    void DoEvents() override;
    StartResult Shell(const std::wstring& path, int windowStyle, const std::wstring& folder) override;
    void Unload() override;
    NativeHandle hWnd() override { return reinterpret_cast<NativeHandle>(site_.window); }
    float Width() override;
    float Height() override;
    void SetLeft(float twips) override;
    void SetTop(float twips) override;
    float ScreenWidth() override { return Twips(GetSystemMetrics(SM_CXSCREEN)); }
    float ScreenHeight() override { return Twips(GetSystemMetrics(SM_CYSCREEN)); }
    void SetVisible(ControlRef control, bool visible) override;
    void SetKeyboardChoice(ControlRef control) override;
    ControlRef KeyboardChoice() override { return {site_.TheForm().KeyboardChoice()}; }
    void SetCaption(ControlRef control, const std::wstring& caption) override;
    float ScaleWidth() override { return Twips(FormInside().right); }
    float ScaleHeight() override { return Twips(FormInside().bottom); }
    float ScaleWidth(ControlRef pictureBox) override { return Twips(PictureBoxInside(pictureBox).right); }
    float ScaleHeight(ControlRef pictureBox) override { return Twips(PictureBoxInside(pictureBox).bottom); }
    void PaintPicture(ControlRef owner, float x, float y, float width, float height) override;
    NativeHandle GetSystemMenu(NativeHandle window, int revert) override;
    int RemoveMenu(NativeHandle menu, unsigned position, unsigned flags) override;
    OsVersion GetVersionExA() override;

private:
    float Twips(int pixels) const { return site_.Twips(pixels); }
    int Pixels(float twips) const { return site_.Pixels(twips); }
    RECT WindowRect();
    RECT FormInside();
    RECT PictureBoxInside(ControlRef pictureBox);
    void MoveTo(int x, int y);

    FormSite& site_;
    FormPainter& painter_;
    const bool anotherCopy_;
};

}  // namespace forms::win32
