#include <windows.h>

#include "chooser/frm_auto_select.h"
#include "chooser/layout.h"
#include "forms/win32/dll_search.h"
#include "forms/win32/form_runtime.h"
#include "forms/win32/form_window.h"
#include "forms/win32/instance_mutex.h"
#include "product.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifndef VELBROOK_CONTROL_WITHOUT_DLL_SEARCH_RESTRICTION  // set only for a test's negative control
    forms::win32::HardenDllSearch();  // before anything can load a DLL by name
#endif

    // The name marks this copy for as long as it runs; the load step decides what a running one means.
    const bool anotherCopy = forms::win32::ClaimSingleInstance(product::kSingleInstance);
    const forms::win32::AppInfo app{instance, product::kTitle, product::kFormClass, product::kOwnerClass};
    forms::win32::FormWindow window(app, chooser::kFrmAutoSelect);
    forms::win32::FormRuntime runtime(window.Site(), window.Painter(), anotherCopy);
    chooser::FrmAutoSelect frm(runtime);
    return window.Run(frm);
}
