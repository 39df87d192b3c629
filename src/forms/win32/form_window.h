// The Win32 side of one form: its window, child windows, painting, pointer
// input and the run-time services its handlers call.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/runtime.h"
#include "forms/win32/accessible.h"
#include "forms/win32/base_window.h"
#include "forms/win32/gdi.h"

namespace forms::win32 {

struct AppInfo {
    HINSTANCE instance;
    const wchar_t* title;      // the application's title, in message boxes
    const wchar_t* mutexName;  // marks a running copy
};

class FormWindow : public BaseWindow<FormWindow>, public Runtime, private AccessibleHost {
public:
    FormWindow(const AppInfo& app, const FormSpec& layout);
    ~FormWindow() override;

    // Creates the window hidden, runs the load handler, shows the window and
    // runs the message loop until the form is unloaded.
    int Run(EventSink& sink);

    // Runtime.
    bool PrevInstance() override { return prevInstance_; }
    std::wstring AppPath() override;
    void MsgBox(const std::wstring& prompt, int style) override;
    [[noreturn]] void End() override;
    void DoEvents() override;
    StartResult Shell(const std::wstring& path, int windowStyle) override;
    void Unload() override;
    NativeHandle hWnd() override { return reinterpret_cast<NativeHandle>(wnd_); }
    float Width() override;
    float Height() override;
    void SetLeft(float twips) override;
    void SetTop(float twips) override;
    float ScreenWidth() override;
    float ScreenHeight() override;
    void SetVisible(ControlRef control, bool visible) override;
    void SetKeyboardChoice(ControlRef control) override;
    void SetCaption(ControlRef control, const std::wstring& caption) override;
    float ScaleWidth() override;
    float ScaleHeight() override;
    float ScaleWidth(ControlRef pictureBox) override;
    float ScaleHeight(ControlRef pictureBox) override;
    void PaintPicture(ControlRef owner, float x, float y, float width, float height) override;
    NativeHandle GetSystemMenu(NativeHandle window, int revert) override;
    int RemoveMenu(NativeHandle menu, unsigned position, unsigned flags) override;
    OsVersion GetVersionExA() override;

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    // AccessibleHost.
    HWND AccessibleWindow() override { return wnd_; }
    std::wstring AccessibleName() override { return spec_.caption; }
    std::vector<AccessibleNode> AccessibleItems() override;
    RECT ClientRectOf(const TwipRect& rect) override;
    bool HasFocus(ControlId control) override;
    void DoDefaultAction(ControlId control) override;
    void OnDefaultAction(ControlId control);

    void Create();
    void CreateChildren();
    void LoadPictures();
    RECT WindowRect();
    SIZE OuterSize() const;  // the client area of the layout with the frame around it
    RECT InnerRect(ControlRef pictureBox);
    void MoveTo(int x, int y);

    void OnPaint();
    void DrawControls(HDC dc, const RECT& area);
    void DrawPicture(HDC dc, HBITMAP bitmap, const PixelRect& dest, bool stretch);
    void DrawLabel(HDC dc, ControlId id, const PixelRect& dest);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    bool OnSetCursor(HWND over, UINT hitTest);
    void OnButton(bool down, int button, WPARAM wp, LPARAM lp, bool synthetic);
    void OnMouseMove(WPARAM wp, LPARAM lp);
    bool OnKeyDown(HWND child, WPARAM key);
    void FollowCapture(bool captured);
    void Repaint(ControlId id);
    HWND ChildOf(ControlId id) const;
    ControlId IdOfChild(HWND child) const;
    void FocusFirstChild();
    float Twips(int pixels) const { return pixels * tpp_; }
    template <class F>
    void Raise(F&& f);
    static LRESULT CALLBACK ButtonProcedure(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

    AppInfo app_;
    const FormSpec& spec_;
    EventSink* sink_ = nullptr;
    std::optional<Form> form_;
    bool prevInstance_ = false;
    const float tpp_ = TwipsPerPixel(kLayoutDpi);
    HWND owner_ = nullptr;  // hidden: keeps the form off the taskbar
    HCURSOR formCursor_ = nullptr;  // over the bare form and controls without a pointer of their own
    HDC paintDc_ = nullptr;  // the DC of the paint request being handled
    RECT paintArea_{};       // and the area it paints
    Surface backBuffer_;     // where paints are drawn before they are shown
    MemoryDC pictureDc_;     // pictures are selected into it to be drawn; made at the first draw
    std::map<int, GdiObject<HBITMAP>> bitmaps_;
    std::map<int, HCURSOR> cursors_;
    std::vector<GdiObject<HFONT>> fonts_;  // per control, drawn labels only
    std::vector<HWND> children_;          // per control, nullptr for drawn ones
    WNDPROC buttonDefault_ = nullptr;
    ControlId keyboardChoice_ = kFormItself;  // chosen with the keyboard; the focus stays on the button
    bool spaceTaken_ = false;                 // a Space whose press the form took
    AccessibilityServer accessibility_{*this};
};

}  // namespace forms::win32
