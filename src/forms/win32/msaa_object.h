// The COM side of Microsoft Active Accessibility for a form that draws its own
// text and pictures: the client area's IAccessible object, whose children are
// simple elements, and the server that hands it out. What it says comes from
// an AccessibleSource, the window's side. The OLE libraries are loaded from
// System32 at the first request, so a menu nobody inspects never loads them.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "forms/accessibility.h"
#include "forms/win32/handle.h"

namespace forms::win32 {

// What the accessible object reads from its window.
class AccessibleSource {
public:
    virtual HWND AccessibleWindow() = 0;
    virtual std::wstring AccessibleName() = 0;
    virtual std::vector<AccessibleNode> AccessibleItems() = 0;
    virtual RECT ClientRectOf(const TwipRect& rect) = 0;
    virtual bool HasFocus(ControlId control) = 0;
    virtual void DoDefaultAction(ControlId control) = 0;  // queued: runs after the request returns

protected:
    ~AccessibleSource() = default;
};

class MsaaObject;

class MsaaServer : NonCopyable {
public:
    explicit MsaaServer(AccessibleSource& source) : source_(source) {}
    ~MsaaServer();

    // The answer to WM_GETOBJECT for the client area; 0 lets the system answer.
    LRESULT Answer(WPARAM flags);
    // The window is going: clients holding the object get errors from now on.
    void Disconnect();

private:
    AccessibleSource& source_;
    static void Release(MsaaObject* object);  // its COM reference, where the type is complete
    Unique<MsaaObject*, &MsaaServer::Release> object_;  // made at the first request
};

}  // namespace forms::win32
