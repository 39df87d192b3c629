// The services the form's handlers call on the run-time. The Win32 layer
// implements them for the real window; tests implement them with a recorder.
#pragma once

#include <cstdint>
#include <string>

#include "forms/control.h"

namespace forms {

using NativeHandle = std::uintptr_t;

// The system's version record, as GetVersionExA fills it. A failed call
// leaves it zeroed.
struct OsVersion {
    std::int32_t major = 0;
    std::int32_t minor = 0;
    std::int32_t platform = 0;
    std::uint32_t build = 0;  // the build number (its low word only on Windows 95 to Me)
    std::wstring csd = std::wstring(128, L'\0');  // service-pack text, NUL-padded to 128 characters
};

// How a start of a program ended when it did not fail.
enum class StartResult {
    Started,
    Declined,  // the user turned down the elevation prompt
};

class Runtime {
public:
    virtual ~Runtime() = default;

    // The application object.
    virtual bool PrevInstance() = 0;
    virtual std::wstring AppPath() = 0;  // trailing backslash only at a drive root

    // Statements.
    virtual void MsgBox(const std::wstring& prompt, int style) = 0;  // modal; the app's title
    [[noreturn]] virtual void End() = 0;                              // no unload, nothing after
    virtual void DoEvents() = 0;                                      // runs pending window events
    // Starts a program by its exact path, in `folder`, shown normally, without waiting.
    virtual StartResult Shell(const std::wstring& path, int windowStyle, const std::wstring& folder) = 0;
    virtual void Unload() = 0;  // the form goes; with it the message loop

    // The form, in twips. Width and height are the outer size.
    virtual NativeHandle hWnd() = 0;
    virtual float Width() = 0;
    virtual float Height() = 0;
    virtual void SetLeft(float twips) = 0;
    virtual void SetTop(float twips) = 0;
    virtual float ScreenWidth() = 0;
    virtual float ScreenHeight() = 0;

    // Its controls.
    virtual void SetVisible(ControlRef control, bool visible) = 0;
    // The control chosen with the keyboard while the focus stays where it is
    // (ControlRef{}: none). The focused control stops showing its focus cue,
    // and a screen reader is told that the chosen control has the focus.
    virtual void SetKeyboardChoice(ControlRef control) = 0;
    virtual ControlRef KeyboardChoice() = 0;
    virtual void SetCaption(ControlRef control, const std::wstring& caption) = 0;

    // Inner sizes in twips: the form's client area, a picture box's inside.
    virtual float ScaleWidth() = 0;
    virtual float ScaleHeight() = 0;
    virtual float ScaleWidth(ControlRef pictureBox) = 0;
    virtual float ScaleHeight(ControlRef pictureBox) = 0;
    // Draws the picture held by `owner` on the form's background layer,
    // scaled to width x height, clipped to the area being repainted.
    virtual void PaintPicture(ControlRef owner, float x, float y, float width, float height) = 0;

    // user32 calls made by name; their results are the system's, unchecked.
    virtual NativeHandle GetSystemMenu(NativeHandle window, int revert) = 0;
    virtual int RemoveMenu(NativeHandle menu, unsigned position, unsigned flags) = 0;
    // kernel32's GetVersionExA with the zeroed 148-byte record; the result is not looked at.
    virtual OsVersion GetVersionExA() = 0;
};

}  // namespace forms
