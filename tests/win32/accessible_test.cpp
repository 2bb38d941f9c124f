// The main window as a screen reader reads it on Windows: every control's object, asked for
// as a reader asks (AccessibleObjectFromWindow), gives the editor's name and description, its
// role and, for what a click presses, a default action that runs the click's handler. Read in
// this process: Wine's objects do not cross to a reader in another one.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32/Win32Form.h"
#include "shell/Ids.h"
#include "shell/MainWindow.h"

#include <initguid.h>

#include <oleacc.h>

namespace veltrano::platform::win32 {
namespace {

struct Clicks : EventSink {
    std::vector<std::string> seen;
    void cmd_Click(int i) override { seen.push_back("cmd " + std::to_string(i)); }
    void chk_Click(int i) override { seen.push_back("chk " + std::to_string(i)); }
    void lbl_Click(int i) override { seen.push_back("lbl " + std::to_string(i)); }
    void lsb_Click(int i) override { seen.push_back("lsb " + std::to_string(i)); }
    void lsb_MouseUp(int, int, int, int, int) override {}
    void lsb_LostFocus(int) override {}
    void cmb_Click(int i) override { seen.push_back("cmb " + std::to_string(i)); }
    void Win_1_ReSize() override {}
    void Win_1_Close(int&) override {}
    void Win_1_DropFiles(const std::vector<std::string>&) override {}
    void Win_1_Message(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
};

std::string Narrow(BSTR b) {
    if (!b) return {};
    std::string out = NarrowStrict(std::wstring(b, SysStringLen(b))).value_or("<unnarrowable>");
    SysFreeString(b);
    return out;
}

const char* RoleName(long role) {
    switch (role) {
    case ROLE_SYSTEM_PUSHBUTTON:
        return "push button";
    case ROLE_SYSTEM_COMBOBOX:
        return "combo box";
    case ROLE_SYSTEM_LIST:
        return "list";
    case ROLE_SYSTEM_CHECKBUTTON:
        return "check box";
    case ROLE_SYSTEM_RADIOBUTTON:
        return "radio button";
    case ROLE_SYSTEM_STATICTEXT:
        return "text";
    case ROLE_SYSTEM_GRAPHIC:
        return "graphic";
    default:
        return "other";
    }
}

// What a reader reads of one control.
struct Read {
    HRESULT found = E_FAIL;
    std::string name, description, action, value;
    long role = 0;
    long state = 0;
};

class Win32Accessible : public ::testing::Test {
  protected:
    void SetUp() override {
        com_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX icc{};
        icc.dwSize = sizeof icc;
        icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
        InitCommonControlsEx(&icc);
        veltrano::CreateMainWindow(form_); // the editor's window, every control named
        form_.SetEventSink(&clicks_);
        form_.ShowWindow();
        Pump();
    }
    void TearDown() override {
        form_.SetEventSink(nullptr);
        if (SUCCEEDED(com_)) CoUninitialize();
    }
    void Pump() {
        MSG msg{};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    HWND Hwnd(ControlRef ref) {
        const ControlRecord* c = form_.Record(ref);
        return c ? static_cast<HWND>(c->native) : nullptr;
    }
    IAccessible* Object(ControlRef ref) {
        IAccessible* acc = nullptr;
        if (FAILED(AccessibleObjectFromWindow(Hwnd(ref), static_cast<DWORD>(OBJID_CLIENT),
                                              IID_IAccessible, reinterpret_cast<void**>(&acc))))
            return nullptr;
        return acc;
    }
    Read ReadBack(ControlRef ref) {
        Read r;
        IAccessible* acc = Object(ref);
        if (!acc) return r;
        r.found = S_OK;
        VARIANT self;
        VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR b = nullptr;
        if (acc->get_accName(self, &b) == S_OK) r.name = Narrow(b);
        b = nullptr;
        if (acc->get_accDescription(self, &b) == S_OK) r.description = Narrow(b);
        b = nullptr;
        if (acc->get_accDefaultAction(self, &b) == S_OK) r.action = Narrow(b);
        b = nullptr;
        if (acc->get_accValue(self, &b) == S_OK) r.value = Narrow(b);
        VARIANT role, state;
        VariantInit(&role);
        VariantInit(&state);
        if (acc->get_accRole(self, &role) == S_OK && role.vt == VT_I4) r.role = role.lVal;
        if (acc->get_accState(self, &state) == S_OK && state.vt == VT_I4) r.state = state.lVal;
        acc->Release();
        std::printf(
            "  %-19s role %-12s action \"%s\" description \"%s\" value \"%s\" state 0x%lx\n",
            ("\"" + r.name + "\"").c_str(), RoleName(r.role), r.action.c_str(),
            r.description.c_str(), r.value.c_str(), r.state);
        return r;
    }
    HRESULT DoDefault(ControlRef ref) {
        IAccessible* acc = Object(ref);
        if (!acc) return E_NOINTERFACE;
        VARIANT self;
        VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        const HRESULT hr = acc->accDoDefaultAction(self);
        acc->Release();
        Pump();
        return hr;
    }

    HRESULT com_ = E_FAIL;
    Win32Form form_{GetModuleHandleA(nullptr)};
    Clicks clicks_;
};

// Each kind of control by one of its kind: the name the editor gave it, the role, and the
// action of what a click presses.
TEST_F(Win32Accessible, ControlsReadBackTheirNamesRolesAndActions) {
    const struct {
        ControlRef ref;
        const char* name;
        long role;
        const char* action; // nullptr: the system's own, not checked
    } cases[] = {
        {ctl::cmb(ctl::kCtrlBox + 2), "Row 3 controller", ROLE_SYSTEM_COMBOBOX, nullptr},
        {ctl::cmb(ctl::kDepthBox + 15), "Row 16 depth", ROLE_SYSTEM_COMBOBOX, nullptr},
        {ctl::lbl(ctl::kRowLabel + 2), "Row 3", ROLE_SYSTEM_PUSHBUTTON, "Press"},
        {ctl::lbl(ctl::kRowLabel + 11), "Row 12", ROLE_SYSTEM_PUSHBUTTON, "Press"},
        {ctl::lbl(ctl::kSearchMarker), "Search mode armed", ROLE_SYSTEM_STATICTEXT, nullptr},
        {{Array::chk, ctl::kWrite}, "Write", ROLE_SYSTEM_CHECKBUTTON, nullptr},
        {{Array::cmd, ctl::kAll}, "All", ROLE_SYSTEM_PUSHBUTTON, "Press"},
        {ctl::lsb(ctl::kVoiceList), "Voices", ROLE_SYSTEM_LIST, nullptr},
        {ctl::lsb(ctl::kFileList), "Voice files", ROLE_SYSTEM_LIST, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Read r = ReadBack(c.ref);
        ASSERT_EQ(r.found, S_OK);
        EXPECT_EQ(r.name, c.name);
        EXPECT_EQ(r.role, c.role) << RoleName(r.role);
        if (c.action) {
            EXPECT_EQ(r.action, c.action);
        }
    }
}

// No control of the window is left without its name or a role.
TEST_F(Win32Accessible, EveryNativeControlHasItsNameAndARole) {
    int read = 0;
    for (const ControlRef& ref : form_.Controls()) {
        if (!Hwnd(ref)) continue; // the common dialog has no window
        IAccessible* acc = Object(ref);
        ASSERT_NE(acc, nullptr);
        VARIANT self, role;
        VariantInit(&self);
        VariantInit(&role);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR b = nullptr;
        EXPECT_EQ(acc->get_accName(self, &b), S_OK);
        const std::string name = Narrow(b);
        EXPECT_EQ(name, form_.AccessibleName(ref));
        EXPECT_FALSE(name.empty());
        EXPECT_EQ(acc->get_accRole(self, &role), S_OK);
        EXPECT_EQ(role.vt, VT_I4);
        acc->Release();
        ++read;
    }
    std::printf("  %d controls read back, each with its name and a role\n", read);
    EXPECT_EQ(read, 78);
}

// The description is the control's own, else its tip, and a change of either is announced.
TEST_F(Win32Accessible, DescriptionFollowsTheTipAndTheOwnDescription) {
    static std::vector<HWND> announced;
    announced.clear();
    HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_OBJECT_DESCRIPTIONCHANGE, EVENT_OBJECT_DESCRIPTIONCHANGE, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
            if (object == OBJID_CLIENT && child == CHILDID_SELF) announced.push_back(hwnd);
        },
        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    const ControlRef row = ctl::lbl(ctl::kRowLabel + 2);
    EXPECT_EQ(ReadBack(row).description, "");
    form_.SetToolTip(row, "Click to find this controller");
    EXPECT_EQ(ReadBack(row).description, "Click to find this controller");
    form_.SetAccessibleDescription(row, "Finds the voices");
    EXPECT_EQ(ReadBack(row).description, "Finds the voices");
    form_.SetAccessibleDescription(row, "");
    EXPECT_EQ(ReadBack(row).description, "Click to find this controller");
    Pump();
    if (hook) UnhookWinEvent(hook);
    EXPECT_EQ(std::count(announced.begin(), announced.end(), Hwnd(row)), 3);
}

// The default action of what a click presses runs the click's handler, once; a hidden one
// cannot be pressed.
TEST_F(Win32Accessible, DefaultActionPressesAsTheMouseDoes) {
    EXPECT_EQ(DoDefault({Array::cmd, ctl::kAll}), S_OK);
    EXPECT_EQ(DoDefault(ctl::lbl(ctl::kRowLabel + 2)), S_OK);
    EXPECT_EQ(clicks_.seen,
              (std::vector<std::string>{"cmd " + std::to_string(ctl::kAll),
                                        "lbl " + std::to_string(ctl::kRowLabel + 2)}));
    clicks_.seen.clear();
    form_.SetVisible({Array::cmd, ctl::kAll}, false);
    EXPECT_NE(DoDefault({Array::cmd, ctl::kAll}), S_OK);
    EXPECT_TRUE(clicks_.seen.empty());
}

// States and values are the system's own objects' answers: a check box's mark, the item a
// slot box shows, the voice list's items as children.
TEST_F(Win32Accessible, StatesAndValuesAreReadFromTheControls) {
    const ControlRef write{Array::chk, ctl::kWrite};
    const ControlRef slot = ctl::cmb(ctl::kCtrlBox + 2);
    const ControlRef voices = ctl::lsb(ctl::kVoiceList);
    form_.SetChecked(write, true);
    form_.ComboAdd(slot, "Off", 0);
    form_.ComboAdd(slot, "Modulation Wheel", 1);
    form_.ComboSetCurSel(slot, 1);
    form_.ListAdd(voices, "A01 Brass");
    form_.ListAdd(voices, "A02 Strings");
    Pump();
    const Read w = ReadBack(write);
    const Read s = ReadBack(slot);
    EXPECT_NE(w.state & STATE_SYSTEM_CHECKED, 0);
    EXPECT_EQ(s.value, "Modulation Wheel");
    IAccessible* list = Object(voices);
    ASSERT_NE(list, nullptr);
    long children = -1;
    EXPECT_EQ(list->get_accChildCount(&children), S_OK);
    VARIANT item;
    VariantInit(&item);
    item.vt = VT_I4;
    item.lVal = 2;
    BSTR b = nullptr;
    EXPECT_EQ(list->get_accName(item, &b), S_OK);
    const std::string second = Narrow(b);
    form_.ListSetCurrent(voices, 1);
    VARIANT state;
    VariantInit(&state);
    EXPECT_EQ(list->get_accState(item, &state), S_OK);
    EXPECT_NE(state.lVal & STATE_SYSTEM_SELECTED, 0);
    item.lVal = 1;
    EXPECT_EQ(list->get_accState(item, &state), S_OK);
    EXPECT_EQ(state.lVal & STATE_SYSTEM_SELECTED, 0);
    item.lVal = 3; // no such item
    EXPECT_NE(list->get_accState(item, &state), S_OK);
    list->Release();
    std::printf("  voice list: %ld children, the second \"%s\"\n", children, second.c_str());
    EXPECT_EQ(children, 2);
    EXPECT_EQ(second, "A02 Strings");
}

// What the system's annotation service answers here (Wine's has none to speak of): for the log.
TEST_F(Win32Accessible, AnnotationServiceIsReported) {
    IAccPropServices* props = nullptr;
    const HRESULT made = CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IAccPropServices, reinterpret_cast<void**>(&props));
    HRESULT set = E_FAIL;
    if (SUCCEEDED(made) && props) {
        set = props->SetHwndPropStr(Hwnd({Array::cmd, ctl::kAll}), OBJID_CLIENT, CHILDID_SELF,
                                    PROPID_ACC_NAME, L"All");
        props->Release();
    }
    std::printf("  annotation service: CoCreateInstance 0x%08lx, SetHwndPropStr 0x%08lx\n",
                static_cast<unsigned long>(made), static_cast<unsigned long>(set));
    SUCCEED();
}

} // namespace
} // namespace veltrano::platform::win32
