#include "forms/win32/com_apartment.h"

#include "forms/win32/system_api.h"

namespace forms::win32 {

bool EnterComApartment() {
    // Once for the program: its one thread, which runs the window, is the only
    // caller. A thread in an apartment already (S_FALSE) or in the other kind
    // (RPC_E_CHANGED_MODE) will do as it is.
    static const bool entered = [] {
        const auto init = api::CoInitializeEx.Get();
        if (!init) return false;
        const HRESULT hr = init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        return SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
    }();
    return entered;
}

}  // namespace forms::win32
