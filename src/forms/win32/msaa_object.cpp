#include "forms/win32/msaa_object.h"

#include "forms/win32/com_apartment.h"
#include "forms/win32/system_api.h"

namespace forms::win32 {

namespace {

// Whether the system has all the object needs, the thread's apartment among it
// (for marshalling the object to other processes).
bool OleReady() {
    return api::CoDisconnectObject.Get() && api::SysAllocString.Get() && api::LresultFromObject.Get() &&
           api::CreateStdAccessibleObject.Get() && EnterComApartment();
}

LONG RoleOf(AccessibleRole role) {
    switch (role) {
        case AccessibleRole::Text: return ROLE_SYSTEM_STATICTEXT;
        case AccessibleRole::Picture: return ROLE_SYSTEM_GRAPHIC;
        case AccessibleRole::PressablePicture:
        case AccessibleRole::Button: return ROLE_SYSTEM_PUSHBUTTON;
    }
    return ROLE_SYSTEM_GRAPHIC;
}

void SetI4(VARIANT* v, LONG value) {
    v->vt = VT_I4;
    v->lVal = value;
}

}  // namespace

// Children are numbered from 1 in reading order; 0 (CHILDID_SELF) is the client area.
class MsaaObject final : public IAccessible {
public:
    explicit MsaaObject(AccessibleSource& source) : source_(&source) {}
    void Disconnect() { source_ = nullptr; }

    // IUnknown.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: clients use the IAccessible methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        return api::CreateStdAccessibleObject.Get()(source_->AccessibleWindow(), OBJID_WINDOW, IID_IDispatch,
                                              reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (!count) return E_POINTER;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        *count = static_cast<LONG>(source_->AccessibleItems().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        const HRESULT hr = Check(child);
        return FAILED(hr) ? hr : S_FALSE;  // every child is a simple element
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, [&](const AccessibleNode* node) {
            return node ? node->name : source_->AccessibleName();
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override { return Nothing(child, value); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return Text(child, description,
                    [&](const AccessibleNode* node) { return node ? node->description : std::wstring(); });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        role->vt = VT_EMPTY;
        const AccessibleNode* node = nullptr;
        if (const HRESULT hr = Resolve(child, node); FAILED(hr)) return hr;
        SetI4(role, node ? RoleOf(node->role) : ROLE_SYSTEM_CLIENT);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        state->vt = VT_EMPTY;
        const AccessibleNode* node = nullptr;
        if (const HRESULT hr = Resolve(child, node); FAILED(hr)) return hr;
        LONG bits = 0;
        if (node && (node->role == AccessibleRole::Text || node->role == AccessibleRole::Picture))
            bits = STATE_SYSTEM_READONLY;
        // A language can take the focus too: the keyboard chooses it while the button keeps the real one.
        if (node && (node->role == AccessibleRole::Button || node->role == AccessibleRole::PressablePicture))
            bits = STATE_SYSTEM_FOCUSABLE | (source_->HasFocus(node->control) ? STATE_SYSTEM_FOCUSED : 0);
        SetI4(state, bits);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return Nothing(child, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return Nothing(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus) return E_POINTER;
        focus->vt = VT_EMPTY;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        const auto items = source_->AccessibleItems();
        for (size_t i = 0; i < items.size(); ++i) {
            if (source_->HasFocus(items[i].control)) {
                SetI4(focus, static_cast<LONG>(i + 1));
                return S_OK;
            }
        }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!selection) return E_POINTER;
        selection->vt = VT_EMPTY;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Text(child, action,
                    [&](const AccessibleNode* node) { return std::wstring(node ? DefaultActionOf(node->role) : L""); });
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        *left = *top = *width = *height = 0;
        const AccessibleNode* node = nullptr;
        if (const HRESULT hr = Resolve(child, node); FAILED(hr)) return hr;
        RECT r{};
        if (node) {
            r = source_->ClientRectOf(node->rect);
        } else {
            GetClientRect(source_->AccessibleWindow(), &r);
        }
        MapWindowPoints(source_->AccessibleWindow(), nullptr, reinterpret_cast<POINT*>(&r), 2);
        *left = r.left;
        *top = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (!end) return E_POINTER;
        end->vt = VT_EMPTY;
        if (const HRESULT hr = Check(start); FAILED(hr)) return hr;
        const LONG count = static_cast<LONG>(items_.size()), from = start.lVal;
        LONG to = 0;
        if (from == CHILDID_SELF) {
            if (direction == NAVDIR_FIRSTCHILD) to = 1;
            if (direction == NAVDIR_LASTCHILD) to = count;
        } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
            to = from + 1;
        } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
            to = from - 1;
        }
        if (to < 1 || to > count) return S_FALSE;
        SetI4(end, to);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
        if (!hit) return E_POINTER;
        hit->vt = VT_EMPTY;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        HWND wnd = source_->AccessibleWindow();
        POINT p{x, y};
        ScreenToClient(wnd, &p);
        RECT client;
        GetClientRect(wnd, &client);
        if (!PtInRect(&client, p)) return S_FALSE;
        const auto items = source_->AccessibleItems();
        for (size_t i = items.size(); i-- > 0;) {
            const RECT r = source_->ClientRectOf(items[i].rect);
            if (PtInRect(&r, p)) {
                SetI4(hit, static_cast<LONG>(i + 1));
                return S_OK;
            }
        }
        SetI4(hit, CHILDID_SELF);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const AccessibleNode* node = nullptr;
        if (const HRESULT hr = Resolve(child, node); FAILED(hr)) return hr;
        if (!node || !*DefaultActionOf(node->role)) return DISP_E_MEMBERNOTFOUND;
        source_->DoDefaultAction(node->control);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~MsaaObject() = default;

    // Reads the items afresh and checks that `child` names one of them or the client area.
    HRESULT Check(const VARIANT& child) {
        if (!source_) return CO_E_OBJNOTCONNECTED;
        if (child.vt != VT_I4) return E_INVALIDARG;
        items_ = source_->AccessibleItems();
        if (child.lVal < 0 || child.lVal > static_cast<LONG>(items_.size())) return E_INVALIDARG;
        return S_OK;
    }

    // The node a child id names, or nullptr for the client area itself.
    HRESULT Resolve(const VARIANT& child, const AccessibleNode*& node) {
        node = nullptr;
        if (const HRESULT hr = Check(child); FAILED(hr)) return hr;
        if (child.lVal != CHILDID_SELF) node = &items_[child.lVal - 1];
        return S_OK;
    }

    template <class F>
    HRESULT Text(const VARIANT& child, BSTR* out, F&& textOf) {
        if (!out) return E_POINTER;
        *out = nullptr;
        const AccessibleNode* node = nullptr;
        if (const HRESULT hr = Resolve(child, node); FAILED(hr)) return hr;
        const std::wstring text = textOf(node);
        if (text.empty()) return S_FALSE;
        *out = api::SysAllocString.Get()(text.c_str());
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT Nothing(const VARIANT& child, BSTR* out) {
        if (!out) return E_POINTER;
        *out = nullptr;
        const HRESULT hr = Check(child);
        return FAILED(hr) ? hr : S_FALSE;
    }

    LONG refs_ = 1;
    AccessibleSource* source_;  // nullptr once disconnected
    std::vector<AccessibleNode> items_;  // as of the latest request
};

LRESULT MsaaServer::Answer(WPARAM flags) {
    if (!OleReady()) return 0;
    if (!object_) object_.Reset(new MsaaObject(source_));
    const LRESULT result = api::LresultFromObject.Get()(__uuidof(IAccessible), flags, object_.Get());
    return result > 0 ? result : 0;
}

void MsaaServer::Disconnect() {
    if (!object_) return;
    object_.Get()->Disconnect();
    api::CoDisconnectObject.Get()(object_.Get(), 0);  // there: the object was made only when it was
    object_.Reset();
}

MsaaServer::~MsaaServer() { Disconnect(); }

void MsaaServer::Release(MsaaObject* object) { object->Release(); }

}  // namespace forms::win32
