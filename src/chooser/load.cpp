// The window's load step and its exit controls.
#include "chooser/os_caption.h"
#include "chooser/frm_auto_select.h"
#include "forms/errors.h"
#include "product.h"

namespace chooser {

namespace {
constexpr unsigned kMfByPosition = 0x400;
constexpr unsigned kRemovedPosition = 5;
}  // namespace

void FrmAutoSelect::Form_Load() {
    if (rt_.PrevInstance()) {
        rt_.MsgBox(product::kAlreadyRunning, 0);
        rt_.End();
    }

    // By position, twice: the second call takes the entry that moved up into 5. On the
    // system's window menu (Restore, Move, Size, Minimize, Maximize, a separator, Close)
    // these are the separator and Close; without Close the close box is disabled too.
    const forms::NativeHandle menu = rt_.GetSystemMenu(rt_.hWnd(), 0);
    rt_.RemoveMenu(menu, kRemovedPosition, kMfByPosition);
    rt_.RemoveMenu(menu, kRemovedPosition, kMfByPosition);

    ShowOperatingSystem(rt_);

    // Unrounded and unclamped: a window larger than the screen overhangs both edges equally.
    const float width = rt_.Width();
    rt_.SetLeft(forms::CheckedDivide(rt_.ScreenWidth() - width, 2, L"Centring the window"));
    const float height = rt_.Height();
    rt_.SetTop(forms::CheckedDivide(rt_.ScreenHeight() - height, 2, L"Centring the window"));
}

void FrmAutoSelect::Command1_Click() { rt_.End(); }

void FrmAutoSelect::Image3_Click() { rt_.End(); }

}  // namespace chooser
