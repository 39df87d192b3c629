// Microsoft Active Accessibility for a form that draws its own text and
// pictures: the form's client object, whose children are simple elements.
// The OLE libraries are loaded from System32 at the first request, so a
// menu nobody inspects never loads them.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "forms/accessibility.h"
#include "forms/win32/handle.h"

namespace forms::win32 {

// What the accessible object asks of its window.
class AccessibleHost {
public:
    virtual HWND AccessibleWindow() = 0;
    virtual std::wstring AccessibleName() = 0;
    virtual std::vector<AccessibleNode> AccessibleItems() = 0;
    virtual RECT ClientRectOf(const TwipRect& rect) = 0;
    virtual bool HasFocus(ControlId control) = 0;
    virtual void DoDefaultAction(ControlId control) = 0;  // queued: runs after the request returns

protected:
    ~AccessibleHost() = default;
};

struct OleApi;
class AccessibleForm;

class AccessibilityServer : NonCopyable {
public:
    explicit AccessibilityServer(AccessibleHost& host) : host_(host) {}
    ~AccessibilityServer();

    // The answer to WM_GETOBJECT for the client area; 0 lets the system answer.
    LRESULT Answer(WPARAM flags);
    // The window is going: clients holding the object get errors from now on.
    void Disconnect();

private:
    AccessibleHost& host_;
    static void Release(AccessibleForm* object);  // its COM reference, where the type is complete
    Unique<AccessibleForm*, &AccessibilityServer::Release> object_;  // made at the first request
};

}  // namespace forms::win32
