// The Win32Form's controls as a screen reader reads them. Each native control carries the
// record's name and description twice over: annotated on its window (IAccPropServices, read by
// the system's own objects and by UI Automation) and in the object it answers WM_GETOBJECT
// with, the system's object for the control with the name, the description, the role and the
// default action taken from the record. The owner-drawn buttons and the row numbers, which a
// click presses, are push buttons whose default action presses them as the mouse does.
#include <initguid.h>

#include "platform/win32/Win32Form.h"

#include <oleacc.h>

namespace veltrano::platform::win32 {

namespace {

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

BSTR Bstr(const std::string& text) {
    const std::wstring wide = Widen(ShownText(text));
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

// The role each kind of control has to a reader: the system's own for these classes, the
// buttons and the row numbers pressable.
long RoleOf(ControlKind kind, bool pressable) {
    if (pressable) return ROLE_SYSTEM_PUSHBUTTON;
    switch (kind) {
    case ControlKind::ListBox:
        return ROLE_SYSTEM_LIST;
    case ControlKind::ComboBox:
        return ROLE_SYSTEM_COMBOBOX;
    case ControlKind::CheckBox:
        return ROLE_SYSTEM_CHECKBUTTON;
    case ControlKind::OptionButton:
        return ROLE_SYSTEM_RADIOBUTTON;
    case ControlKind::CommandButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case ControlKind::PictureBox:
        return ROLE_SYSTEM_GRAPHIC;
    case ControlKind::Label:
    case ControlKind::CommonDialog:
        break;
    }
    return ROLE_SYSTEM_STATICTEXT;
}

constexpr char kPress[] = "Press";

} // namespace

// The system's object for one control, with what the record says in place of what the
// system would make of the window. The control's window is looked up on every call: a reader
// may keep the object after the window and its form are gone.
class ControlAccessible final : public IAccessible {
  public:
    ControlAccessible(Win32Form* form, HWND hwnd, IAccessible* inner)
        : form_(form), hwnd_(hwnd), inner_(inner) {}
    ~ControlAccessible() { inner_->Release(); }
    ControlAccessible(const ControlAccessible&) = delete;
    ControlAccessible& operator=(const ControlAccessible&) = delete;

    // IUnknown: this object for IAccessible and IDispatch, the system's object for the rest
    // (IOleWindow, IEnumVARIANT and the like answer for the same window).
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            IsEqualIID(riid, IID_IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return inner_->QueryInterface(riid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --refs_;
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: the system's.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        return inner_->GetTypeInfoCount(n);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override {
        return inner_->GetTypeInfo(i, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT n, LCID lcid,
                                            DISPID* ids) override {
        return inner_->GetIDsOfNames(riid, names, n, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* info,
                                     UINT* arg) override {
        return inner_->Invoke(id, riid, lcid, flags, params, result, info, arg);
    }

    // What the record says about the control itself.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        const ControlRecord* list = nullptr;
        if (const int i = Item(child, list); list) {
            if (!out) return E_POINTER;
            return Answer(list->list.Text(i).value_or(""), out);
        }
        return Text(child, out, &FormBase::AccessibleName, &IAccessible::get_accName);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        return Text(child, out, &FormBase::AccessibleDescription, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        const ControlRecord* list = nullptr;
        Item(child, list);
        const ControlRecord* c = IsSelf(child) ? Record() : nullptr;
        if (!c && !list) return inner_->get_accRole(child, out);
        if (!out) return E_POINTER;
        VariantInit(out);
        out->vt = VT_I4;
        out->lVal = list ? ROLE_SYSTEM_LISTITEM : RoleOf(c->kind, Win32Form::Pressable(*c));
        return S_OK;
    }
    // A box's mark and a list item's selection as the record holds them.
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        if (!out) return E_POINTER;
        const ControlRecord* list = nullptr;
        if (const int i = Item(child, list); list) {
            VariantInit(out);
            out->vt = VT_I4;
            out->lVal = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE |
                        (list->list.Selected(i) ? STATE_SYSTEM_SELECTED : 0);
            return S_OK;
        }
        const HRESULT hr = inner_->get_accState(child, out);
        const ControlRecord* c = IsSelf(child) ? Record() : nullptr;
        if (SUCCEEDED(hr) && c && out->vt == VT_I4 &&
            (c->kind == ControlKind::CheckBox || c->kind == ControlKind::OptionButton))
            out->lVal =
                c->checked ? out->lVal | STATE_SYSTEM_CHECKED : out->lVal & ~STATE_SYSTEM_CHECKED;
        return hr;
    }
    // A slot box tells the item it shows.
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        const ControlRecord* c = IsSelf(child) ? Record() : nullptr;
        if (!c || c->kind != ControlKind::ComboBox) return inner_->get_accValue(child, out);
        if (!out) return E_POINTER;
        return Answer(c->list.Text(c->list.Current()).value_or(""), out);
    }
    // A list's items are its children, each a simple element.
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* out) override {
        const ControlRecord* c = Record();
        if (!c || c->kind != ControlKind::ListBox) return inner_->get_accChildCount(out);
        if (!out) return E_POINTER;
        *out = c->list.Count();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        const ControlRecord* list = nullptr;
        Item(child, list);
        if (!list) return inner_->get_accChild(child, out);
        if (!out) return E_POINTER;
        *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        const ControlRecord* c = IsSelf(child) ? Record() : nullptr;
        if (!c || !Win32Form::Pressable(*c)) return inner_->get_accDefaultAction(child, out);
        if (!out) return E_POINTER;
        *out = Bstr(kPress);
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const ControlRecord* c = IsSelf(child) ? Record() : nullptr;
        if (!c || !Win32Form::Pressable(*c)) return inner_->accDoDefaultAction(child);
        return form_->Press(hwnd_) ? S_OK : E_FAIL;
    }

    // The rest as the system answers it.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
        return inner_->get_accParent(out);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
        return inner_->get_accHelp(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return inner_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return inner_->get_accKeyboardShortcut(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        return inner_->get_accFocus(out);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        return inner_->get_accSelection(out);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return inner_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h,
                                          VARIANT child) override {
        return inner_->accLocation(x, y, w, h, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long dir, VARIANT start, VARIANT* out) override {
        return inner_->accNavigate(dir, start, out);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
        return inner_->accHitTest(x, y, out);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return inner_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return inner_->put_accValue(child, value);
    }

  private:
    // The list item a child names (its index), or -1; c is the list's record then.
    int Item(const VARIANT& child, const ControlRecord*& c) const {
        c = nullptr;
        if (child.vt != VT_I4 || child.lVal == CHILDID_SELF) return -1;
        const ControlRecord* r = Record();
        if (!r || r->kind != ControlKind::ListBox) return -1;
        if (child.lVal < 1 || child.lVal > r->list.Count()) return -1;
        c = r;
        return static_cast<int>(child.lVal) - 1;
    }

    // The control's record while its window and the form that made it are there.
    const ControlRecord* Record() const {
        if (!IsWindow(hwnd_)) return nullptr;
        HWND parent = GetParent(hwnd_);
        if (!parent ||
            reinterpret_cast<Win32Form*>(GetWindowLongPtrA(parent, GWLP_USERDATA)) != form_)
            return nullptr;
        const ControlRecord* c = form_->FindById(GetDlgCtrlID(hwnd_));
        return c && Win32Form::Hwnd(*c) == hwnd_ ? c : nullptr;
    }
    using RecordText = std::string (FormBase::*)(ControlRef) const;
    using SystemText = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    HRESULT Text(VARIANT child, BSTR* out, RecordText own, SystemText system) {
        const ControlRecord* c = IsSelf(child) ? Record() : nullptr;
        if (!c) return (inner_->*system)(child, out);
        if (!out) return E_POINTER;
        return Answer((form_->*own)(c->ref), out);
    }
    static HRESULT Answer(const std::string& text, BSTR* out) {
        *out = nullptr;
        if (text.empty()) return S_FALSE; // no name or description
        *out = Bstr(text);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    Win32Form* form_;
    HWND hwnd_;
    IAccessible* inner_;
    long refs_ = 1;
};

bool Win32Form::Pressable(const Control& c) {
    if (c.kind == ControlKind::CommandButton) return true;
    // A label whose caption is a number is a row number, which a click presses.
    if (c.kind != ControlKind::Label) return false;
    const std::string text = ShownText(c.caption);
    const auto end = text.find_last_not_of(' ');
    if (end == std::string::npos) return false;
    for (std::size_t i = 0; i <= end; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

bool Win32Form::Press(HWND control) {
    const Control* c = FindById(GetDlgCtrlID(control));
    if (!c || Hwnd(*c) != control || !hwnd_ || closed_) return false;
    // Only what the mouse could click: a shown control of a window that takes input.
    if (!IsWindowVisible(control) || !IsWindowEnabled(control) || !IsWindowEnabled(hwnd_))
        return false;
    const WORD code = c->kind == ControlKind::Label ? STN_CLICKED : BN_CLICKED;
    // Posted as the system's own objects do, so that the handler runs after the reader's call.
    return PostMessageA(hwnd_, WM_COMMAND,
                        MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), code),
                        reinterpret_cast<LPARAM>(control)) != FALSE;
}

LRESULT CALLBACK Win32Form::AccessibleProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR data) {
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &Win32Form::AccessibleProc, id);
    } else if (msg == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        IAccessible* inner = nullptr;
        if (SUCCEEDED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, IID_IAccessible,
                                                reinterpret_cast<void**>(&inner))) &&
            inner) {
            auto* self = reinterpret_cast<Win32Form*>(data);
            auto* object = new ControlAccessible(self, hwnd, inner);
            const LRESULT result = LresultFromObject(IID_IAccessible, wParam, object);
            object->Release();
            if (result > 0) return result;
        }
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

void Win32Form::Annotate(const Control& c, bool announce) {
    HWND h = Hwnd(c);
    if (!h) return;
    if (!annotationsTried_) {
        annotationsTried_ = true;
        // Fails without COM on this thread, or where the system has no annotations.
        if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IAccPropServices, reinterpret_cast<void**>(&annotations_))))
            annotations_ = nullptr;
    }
    if (annotations_) {
        auto text = [&](const MSAAPROPID& prop, const std::string& value) {
            if (value.empty()) {
                annotations_->ClearHwndProps(h, OBJID_CLIENT, CHILDID_SELF, &prop, 1);
                return;
            }
            const std::wstring wide = Widen(ShownText(value));
            annotations_->SetHwndPropStr(h, OBJID_CLIENT, CHILDID_SELF, prop, wide.c_str());
        };
        text(PROPID_ACC_NAME, AccessibleName(c.ref));
        text(PROPID_ACC_DESCRIPTION, AccessibleDescription(c.ref));
        if (Pressable(c)) {
            VARIANT role;
            VariantInit(&role);
            role.vt = VT_I4;
            role.lVal = ROLE_SYSTEM_PUSHBUTTON;
            annotations_->SetHwndProp(h, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_ROLE, role);
            text(PROPID_ACC_DEFAULTACTION, kPress);
        }
    }
    if (announce) {
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, h, OBJID_CLIENT, CHILDID_SELF);
        NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, h, OBJID_CLIENT, CHILDID_SELF);
    }
}

void Win32Form::ReleaseAnnotations() {
    if (annotations_) annotations_->Release();
    annotations_ = nullptr;
}

} // namespace veltrano::platform::win32
