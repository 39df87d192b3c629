// The Win32 window of one form: its creation with the child windows, its
// message switch and the message loop. The parts it is made of share a
// FormSite: pointer and key input are FormInput's, the drawing FormPainter's,
// the screen reader's side FormScreenReader's; the run-time services that the
// handlers call (FormRuntime) take the site and the painter.
#pragma once

#include <windows.h>

#include "forms/form.h"
#include "forms/win32/base_window.h"
#include "forms/win32/form_input.h"
#include "forms/win32/form_screen_reader.h"
#include "forms/win32/form_site.h"
#include "forms/win32/handle.h"
#include "forms/win32/painter.h"

namespace forms::win32 {

class FormWindow : public BaseWindow<FormWindow> {
public:
    FormWindow(const AppInfo& app, const FormSpec& layout);

    // Creates the window hidden, runs the load handler, shows the window and
    // runs the message loop until the form is unloaded.
    int Run(EventSink& handlers);

    // What the run-time services work on.
    FormSite& Site() { return site_; }
    FormPainter& Painter() { return painter_; }

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    void Create();
    void CreateChildren();
    // The density the form is laid out and drawn at: the painter's composition
    // made for it, then the site's, which every conversion and drawing reads.
    void TakeDensity(int dpi);
    SIZE ClientSize(int dpi) const;  // the client area of the layout at `dpi`
    SIZE OuterSize(int dpi) const;   // the client area of the layout at `dpi` with the frame around it
    // Sizes the window so its client area is the layout's, whatever frame the system drew.
    void FitClientArea();
    void PlaceChildren();
    // The window moved to a monitor of another density; `suggested` is the system's rectangle for it.
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnPaint();
    // Draws `area` of the client into `dc`: the background, the paint handler's pictures, the drawn controls.
    void Compose(HDC dc, const RECT& area);
    void OnDefaultAction(ControlId control);
    void FocusFirstChild();

    FormSite site_;
    FormPainter painter_;
    FormInput input_{site_};
    FormScreenReader reader_{site_};
    OwnedWindow owner_;  // hidden: keeps the form off the taskbar
};

}  // namespace forms::win32
