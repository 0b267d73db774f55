// Accessible names for the controls. Screen readers ask a window for its accessible object with
// WM_GETOBJECT; each named control answers with the standard object the system would give,
// wrapped so that its own name is the one AccessibleName gives (or the control's text where that
// is empty), and a toolbar button's the one AccessibleButtonName gives. Everything else the
// standard object answers as it is: roles, states, the list's rows.
#include <windows.h>
#include <commctrl.h>
#include <initguid.h>  // IID_IAccessible defined here, not bound to an import thunk
#include <oleacc.h>

#include "app/access.h"
#include "app/access_win32.h"
#include "base/ids.h"
#include "base/wide_win32.h"

namespace lumiseek {
namespace {

class NamedAccessible : public IAccessible {
public:
    NamedAccessible(IAccessible* inner, HWND hwnd, int control) : inner_(inner), hwnd_(hwnd), control_(control) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            inner_->Release();
            delete this;
        }
        return left;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return inner_->GetTypeInfoCount(n); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override { return inner_->GetTypeInfo(i, l, t); }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {
        return inner_->GetIDsOfNames(r, n, c, l, d);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e,
                                     UINT* a) override {
        return inner_->Invoke(d, r, l, f, p, v, e, a);
    }

    // IAccessible: the name of the control itself is ours; the rest is the standard object's.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (child.vt != VT_I4) return inner_->get_accName(child, name);
        if (child.lVal != CHILDID_SELF) {
            // A toolbar's children are its buttons, counted from 1.
            TBBUTTON button{};
            if (control_ != ctl::Toolbar || !SendMessageW(hwnd_, TB_GETBUTTON, child.lVal - 1,
                                                          reinterpret_cast<LPARAM>(&button)) ||
                (button.fsStyle & BTNS_SEP) != 0)
                return inner_->get_accName(child, name);
            return Answer(W(AccessibleButtonName(button.idCommand)), name);
        }
        std::wstring text = W(AccessibleName(control_));
        if (text.empty()) {
            text.resize(GetWindowTextLengthW(hwnd_) + 1);
            text.resize(GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size())));
        }
        return Answer(text, name);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return inner_->get_accParent(p); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override { return inner_->get_accChildCount(n); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** p) override { return inner_->get_accChild(c, p); }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* v) override { return inner_->get_accValue(c, v); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT c, BSTR* d) override { return inner_->get_accDescription(c, d); }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT c, VARIANT* r) override { return inner_->get_accRole(c, r); }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT* s) override { return inner_->get_accState(c, s); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* h) override { return inner_->get_accHelp(c, h); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, LONG* t) override {
        return inner_->get_accHelpTopic(f, c, t);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* k) override {
        return inner_->get_accKeyboardShortcut(c, k);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* c) override { return inner_->get_accFocus(c); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* c) override { return inner_->get_accSelection(c); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR* a) override {
        return inner_->get_accDefaultAction(c, a);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG f, VARIANT c) override { return inner_->accSelect(f, c); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT c) override {
        return inner_->accLocation(x, y, w, h, c);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG d, VARIANT s, VARIANT* e) override { return inner_->accNavigate(d, s, e); }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* c) override { return inner_->accHitTest(x, y, c); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override { return inner_->accDoDefaultAction(c); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR n) override { return inner_->put_accName(c, n); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR v) override { return inner_->put_accValue(c, v); }

private:
    virtual ~NamedAccessible() = default;
    static HRESULT Answer(const std::wstring& text, BSTR* name) {
        if (!name) return E_POINTER;
        *name = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    LONG refs_ = 1;
    IAccessible* inner_;
    HWND hwnd_;
    int control_;
};

LRESULT CALLBACK NamedProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR control) {
    if (msg == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        IAccessible* standard = nullptr;
        if (SUCCEEDED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, IID_IAccessible,
                                                reinterpret_cast<void**>(&standard)))) {
            auto* named = new NamedAccessible(standard, hwnd, static_cast<int>(control));
            LRESULT result = LresultFromObject(IID_IAccessible, wParam, named);
            named->Release();
            return result;
        }
    }
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, NamedProc, 0);
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace

void GiveAccessibleName(HWND control, int id) {
    SetWindowSubclass(control, NamedProc, 0, static_cast<DWORD_PTR>(id));
}

}  // namespace lumiseek
