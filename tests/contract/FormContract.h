#pragma once
// The contract every backend keeps, as one suite of type-parameterised tests. Each backend's
// test program instantiates it with a Backend of its own, which makes the form with its main
// window, acts as the user on the native controls, and reads back what the native controls
// show where the toolkit keeps its own copy:
//
//   struct Backend {
//       FormBase& Form();
//       void Pump();                           // lets queued native events run
//       void ClickRow(ControlRef list, int row); // a left click on a row of a list box
//       void ClickBox(ControlRef box);         // a click on a check box or option button
//       void ChooseNext(ControlRef combo);     // the user moves a drop-down list one down
//       // What the native control shows; nothing where the backend draws from the record.
//       std::optional<bool> ShownChecked(ControlRef box);
//       std::optional<bool> ShownSelected(ControlRef list, int i);
//       std::optional<int> ShownCurrent(ControlRef listOrCombo); // single selection, combo
//       std::optional<int> ShownCount(ControlRef listOrCombo);
//       std::optional<bool> ShownMenuChecked(MenuHandle menu, std::int32_t id);
//       std::optional<std::string> ShownMenuText(MenuHandle menu, std::int32_t id);
//       void PressStop();                      // the user presses the progress window's Stop
//       std::optional<int> ShownProgressDone(); // what it shows done; -1: no progress window
//       std::optional<bool> ShownMainEnabled(); // whether the main window takes input
//   };
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/FormBase.h"

namespace veltrano::platform::contract {

// Every handler call, in order, as "lsb_Click 1".
class Recorder : public EventSink {
  public:
    std::vector<std::string> calls;
    std::vector<std::string> Named(const std::string& name) const {
        std::vector<std::string> out;
        for (const std::string& c : calls)
            if (c.rfind(name, 0) == 0) out.push_back(c);
        return out;
    }
    void cmd_Click(int i) override { Add("cmd_Click", i); }
    void chk_Click(int i) override { Add("chk_Click", i); }
    void lbl_Click(int i) override { Add("lbl_Click", i); }
    void lsb_Click(int i) override { Add("lsb_Click", i); }
    void lsb_MouseUp(int i, int, int, int, int) override { Add("lsb_MouseUp", i); }
    void lsb_LostFocus(int i) override { Add("lsb_LostFocus", i); }
    void cmb_Click(int i) override { Add("cmb_Click", i); }
    void Win_1_ReSize() override {}
    void Win_1_Close(int&) override {}
    void Win_1_DropFiles(const std::vector<std::string>&) override {}
    void Win_1_Message(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}

  private:
    void Add(const char* name, int i) {
        calls.push_back(std::string(name) + " " + std::to_string(i));
    }
};

// What a native control shows agrees with the record, where the backend can tell.
template <class T, class U> void ExpectShown(const std::optional<T>& shown, const U& expected) {
    if (shown) {
        EXPECT_EQ(*shown, expected);
    }
}

inline constexpr ControlRef kList{Array::lsb, 1};
inline constexpr ControlRef kCombo{Array::cmb, 2};
inline constexpr ControlRef kCheck{Array::chk, 3};
inline constexpr ControlRef kOptions[] = {{Array::opt, 4}, {Array::opt, 5}, {Array::opt, 6}};
inline constexpr ControlRef kLabel{Array::lbl, 7};

template <class Backend> class FormContract : public ::testing::Test {
  protected:
    FormContract() {
        form().SetEventSink(&recorder);
        form().CreateControl(kList, ControlKind::ListBox, "", {10, 10, 150, 130});
        form().CreateControl(kCombo, ControlKind::ComboBox, "", {170, 10, 120, 20});
        form().CreateControl(kCheck, ControlKind::CheckBox, "Write", {170, 40, 120, 20});
        for (int k = 0; k < 3; ++k)
            form().CreateControl(kOptions[k], ControlKind::OptionButton,
                                 "Option " + std::to_string(k), {170, 70 + 25 * k, 120, 20});
        form().CreateControl(kLabel, ControlKind::Label, "Voice", {10, 160, 150, 20});
        backend.Pump();
        recorder.calls.clear();
    }
    FormBase& form() { return backend.Form(); }
    void Fill(ControlRef list, int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(form().ListAdd(list, "item " + std::to_string(i)), i);
    }
    // The selected items, as the record has them and as the native control shows them.
    std::vector<int> Selected(ControlRef list) {
        std::vector<int> out;
        for (int i = 0; i < form().ListCount(list); ++i) {
            const bool selected = form().ListSelected(list, i);
            if (selected) out.push_back(i);
            ExpectShown(backend.ShownSelected(list, i), selected);
        }
        return out;
    }
    // The current item of a single-selection list or a combo box, checked against the screen.
    int Current(ControlRef ref) {
        const int current =
            ref.array == Array::cmb ? form().ComboCurSel(ref) : form().ListCurrent(ref);
        ExpectShown(backend.ShownCurrent(ref), current);
        return current;
    }
    bool Checked(ControlRef box) {
        const bool checked = form().Checked(box);
        ExpectShown(backend.ShownChecked(box), checked);
        return checked;
    }

    Recorder recorder; // outlives the form, which may still report its closing
    Backend backend;
};

TYPED_TEST_SUITE_P(FormContract);

TYPED_TEST_P(FormContract, SingleSelection) {
    this->Fill(kList, 5);
    auto& f = this->form();
    f.ListSetCurrent(kList, 2);
    EXPECT_EQ(this->Current(kList), 2);
    EXPECT_EQ(this->Selected(kList), std::vector<int>{2});
    f.ListSetSelected(kList, 3, true); // selecting makes it the one selected item
    EXPECT_EQ(this->Current(kList), 3);
    EXPECT_EQ(this->Selected(kList), std::vector<int>{3});
    f.ListSetSelected(kList, 1, false); // not selected: nothing changes
    EXPECT_EQ(this->Current(kList), 3);
    f.ListSetSelected(kList, 3, false);
    EXPECT_EQ(this->Current(kList), -1);
    EXPECT_EQ(this->Selected(kList), std::vector<int>{});
    f.ListSetCurrent(kList, 4);
    f.ListSetCurrent(kList, 5); // past the last item: nothing selected
    EXPECT_EQ(this->Current(kList), -1);
    EXPECT_EQ(this->Selected(kList), std::vector<int>{});

    this->backend.ClickRow(kList, 1);
    this->backend.ClickRow(kList, 1); // a second click keeps it selected
    EXPECT_EQ(this->Current(kList), 1);
    EXPECT_EQ(this->Selected(kList), std::vector<int>{1});
    EXPECT_EQ(this->recorder.Named("lsb_Click").size(), 2u);
    EXPECT_EQ(this->recorder.Named("lsb_MouseUp").size(), 2u);
}

TYPED_TEST_P(FormContract, MultipleSelectionAndTheCurrentItem) {
    this->Fill(kList, 5);
    auto& f = this->form();
    f.ListSetCurrent(kList, 2);
    f.ListSetMultiSelect(kList, true); // a new style starts with nothing selected
    EXPECT_TRUE(f.ListMultiSelect(kList));
    EXPECT_EQ(f.ListCurrent(kList), -1);
    EXPECT_EQ(this->Selected(kList), std::vector<int>{});
    f.ListSetSelected(kList, 0, true);
    f.ListSetSelected(kList, 3, true);
    f.ListSetCurrent(kList, 4); // only single selection takes this
    EXPECT_EQ(this->Selected(kList), (std::vector<int>{0, 3}));
    EXPECT_EQ(f.ListCurrent(kList), -1) << "no item has been clicked";

    this->backend.ClickRow(kList, 1); // a click toggles one item; it becomes the current one
    EXPECT_EQ(this->Selected(kList), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(f.ListCurrent(kList), 1);
    this->backend.ClickRow(kList, 3);
    EXPECT_EQ(this->Selected(kList), (std::vector<int>{0, 1}));
    EXPECT_EQ(f.ListCurrent(kList), 3);
    EXPECT_EQ(this->recorder.Named("lsb_Click"),
              (std::vector<std::string>{"lsb_Click 1", "lsb_Click 1"}));

    f.ListSetSelected(kList, 0, false);
    EXPECT_EQ(this->Selected(kList), std::vector<int>{1});
    f.ListSetMultiSelect(kList, false);
    EXPECT_FALSE(f.ListMultiSelect(kList));
    EXPECT_EQ(this->Current(kList), -1);
    EXPECT_EQ(this->Selected(kList), std::vector<int>{});
}

TYPED_TEST_P(FormContract, SettingFromCodeNeverNotifies) {
    this->Fill(kList, 5);
    auto& f = this->form();
    f.ComboAdd(kCombo, "one", 1);
    f.ComboAdd(kCombo, "two", 2);
    f.ListSetCurrent(kList, 3);
    f.ListSetSelected(kList, 1, true);
    f.ListSetTopIndex(kList, 2);
    f.ListSetMultiSelect(kList, true);
    f.ListSetSelected(kList, 4, true);
    f.ComboSetCurSel(kCombo, 1);
    f.SetChecked(kCheck, true);
    f.SetChecked(kOptions[1], true);
    f.SetBackColor(kLabel, Rgb(0, 128, 0));
    f.SetVisible(kLabel, false);
    f.SetVisible(kLabel, true);
    f.MoveControl(kList, {12, 12, 150, 100});
    f.ListClear(kList);
    f.ComboClear(kCombo);
    this->backend.Pump();
    EXPECT_EQ(this->recorder.calls, std::vector<std::string>{});
}

TYPED_TEST_P(FormContract, OptionGroupsAndCheckBoxes) {
    auto& f = this->form();
    f.SetChecked(kOptions[0], true);
    f.SetChecked(kCheck, true);
    EXPECT_TRUE(this->Checked(kOptions[0]));
    EXPECT_TRUE(this->Checked(kCheck)) << "a check box is in no option group";
    f.SetChecked(kOptions[2], true); // selecting an option clears the others
    EXPECT_FALSE(this->Checked(kOptions[0]));
    EXPECT_TRUE(this->Checked(kOptions[2]));
    EXPECT_TRUE(this->Checked(kCheck));

    this->backend.ClickBox(kOptions[1]);
    EXPECT_FALSE(this->Checked(kOptions[2]));
    EXPECT_TRUE(this->Checked(kOptions[1]));
    this->backend.ClickBox(kCheck); // the box shows its new state before its handler runs
    EXPECT_FALSE(this->Checked(kCheck));
    this->backend.ClickBox(kCheck);
    EXPECT_TRUE(this->Checked(kCheck));
    EXPECT_EQ(this->recorder.Named("chk_Click"),
              (std::vector<std::string>{"chk_Click 3", "chk_Click 3"}));
}

TYPED_TEST_P(FormContract, MenuMarksAndItemTexts) {
    auto& f = this->form();
    const MenuHandle bar = f.CreateMenuBar();
    const MenuHandle file = f.CreatePopupMenu();
    const MenuHandle recent = f.CreatePopupMenu();
    ASSERT_TRUE(bar && file && recent);
    EXPECT_TRUE(f.AppendMenu(recent, MF_STRING, 21, "First"));
    EXPECT_TRUE(f.AppendMenu(file, MF_STRING, 10, "&Open...\tCtrl+O"));
    EXPECT_TRUE(f.AppendMenu(file, MF_SEPARATOR, 0, ""));
    EXPECT_TRUE(f.AppendMenu(file, MF_STRING | MF_CHECKED, 11, "Multi"));
    EXPECT_TRUE(f.AppendMenu(file, MF_POPUP, recent, "Recent"));
    EXPECT_TRUE(f.AppendMenu(bar, MF_POPUP, file, "&File"));
    EXPECT_FALSE(f.AppendMenu(bar, MF_POPUP, recent, "Again")) << "a popup has one owner";
    EXPECT_FALSE(f.AppendMenu(file, MF_POPUP, bar, "Bar")) << "a bar goes into no menu";
    ASSERT_TRUE(f.AttachMenuBar(bar));
    EXPECT_EQ(f.AttachedMenuBar(), bar);

    auto shows = [&](std::int32_t id, bool checked, const std::string& text) {
        SCOPED_TRACE(id);
        EXPECT_EQ(f.MenuItemText(bar, id), text);
        EXPECT_EQ(f.MenuItemState(bar, id) & static_cast<int>(MF_CHECKED),
                  checked ? static_cast<int>(MF_CHECKED) : 0);
        ExpectShown(this->backend.ShownMenuChecked(bar, id), checked);
        ExpectShown(this->backend.ShownMenuText(bar, id), text);
    };
    shows(10, false, "&Open...\tCtrl+O");
    shows(11, true, "Multi");
    shows(21, false, "First");
    EXPECT_TRUE(f.CheckMenuItem(bar, 21, true));
    EXPECT_TRUE(f.CheckMenuItem(file, 11, false));
    shows(21, true, "First");
    shows(11, false, "Multi");
    EXPECT_FALSE(f.CheckMenuItem(bar, 99, true));
    EXPECT_EQ(f.MenuItemState(bar, 99), -1);
    EXPECT_EQ(f.MenuItemText(bar, 99), std::nullopt);

    EXPECT_TRUE(f.DestroyMenu(recent)); // taken out of "File" first
    EXPECT_EQ(f.MenuItemState(bar, 21), -1);
    shows(10, false, "&Open...\tCtrl+O");
    EXPECT_TRUE(f.DestroyMenu(bar)); // detached, with what is below it
    EXPECT_EQ(f.AttachedMenuBar(), 0);
    EXPECT_FALSE(f.DestroyMenu(file));
    EXPECT_EQ(this->recorder.calls, std::vector<std::string>{});
}

TYPED_TEST_P(FormContract, ComboItemsTheirDataAndTheShownItem) {
    auto& f = this->form();
    const std::vector<std::int32_t> data{7, -1, 0x7FFFFFFF, 0};
    for (std::size_t i = 0; i < data.size(); ++i)
        EXPECT_EQ(f.ComboAdd(kCombo, "v" + std::to_string(i), data[i]), static_cast<int>(i));
    EXPECT_EQ(f.ComboCount(kCombo), 4);
    ExpectShown(this->backend.ShownCount(kCombo), 4);
    for (std::size_t i = 0; i < data.size(); ++i) {
        EXPECT_EQ(f.ComboItemData(kCombo, static_cast<int>(i)), data[i]);
        EXPECT_EQ(f.ComboText(kCombo, static_cast<int>(i)), "v" + std::to_string(i));
    }
    EXPECT_EQ(f.ComboItemData(kCombo, 4), std::nullopt);
    EXPECT_EQ(f.ComboText(kCombo, -1), std::nullopt);
    EXPECT_EQ(this->Current(kCombo), -1);
    f.ComboSetCurSel(kCombo, 2);
    EXPECT_EQ(this->Current(kCombo), 2);
    f.ComboSetCurSel(kCombo, 4); // beyond the last item: shows none
    EXPECT_EQ(this->Current(kCombo), -1);

    f.ComboSetCurSel(kCombo, 1);
    this->backend.ChooseNext(kCombo); // the user's choice reaches the record first
    EXPECT_EQ(this->Current(kCombo), 2);
    EXPECT_EQ(this->recorder.Named("cmb_Click"), std::vector<std::string>{"cmb_Click 2"});
}

TYPED_TEST_P(FormContract, CaptionsAndColoursReadBack) {
    auto& f = this->form();
    f.SetWindowCaption("Veltrano - bank.an1 *");
    EXPECT_EQ(f.WindowCaption(), "Veltrano - bank.an1 *");
    EXPECT_EQ(f.Caption(kLabel), "Voice");
    EXPECT_EQ(f.Caption(kCheck), "Write");
    EXPECT_TRUE(f.SetBackColor(kLabel, Rgb(0, 160, 0)));
    EXPECT_TRUE(f.SetForeColor(kLabel, Rgb(255, 255, 0)));
    EXPECT_TRUE(f.SetToolTip(kLabel, "Armed"));
    EXPECT_EQ(f.BackColor(kLabel), Rgb(0, 160, 0));
    EXPECT_EQ(f.ForeColor(kLabel), Rgb(255, 255, 0));
    EXPECT_EQ(f.ToolTip(kLabel), "Armed");
    EXPECT_EQ(f.BackColor(kList), Rgb(255, 255, 255)) << "lists start white";
    EXPECT_TRUE(f.SetVisible(kLabel, false));
    EXPECT_FALSE(f.Visible(kLabel));
    EXPECT_TRUE(f.MoveControl(kLabel, {20, 170, 100, 18}));
    EXPECT_EQ(f.ControlRect(kLabel), (Rect{20, 170, 100, 18}));
    EXPECT_TRUE(f.SetAlignment(kLabel, 2));
    EXPECT_FALSE(f.SetAlignment(kList, 2)) << "a list has no alignment";
    EXPECT_TRUE(f.SetSorted(kList, false));
    EXPECT_FALSE(f.SetSorted(kLabel, false)) << "a label has no items";
    const ControlRef missing{Array::lbl, 99};
    EXPECT_FALSE(f.SetBackColor(missing, Rgb(1, 2, 3)));
    EXPECT_EQ(f.BackColor(missing), 0u);
    EXPECT_FALSE(f.HasControl(missing));
    EXPECT_FALSE(f.CreateControl(kLabel, ControlKind::Label, "again", {})) << "names are unique";
    EXPECT_EQ(f.KindOf(kCombo), ControlKind::ComboBox);
}

TYPED_TEST_P(FormContract, AListClearedAndRefilled) {
    this->Fill(kList, 20);
    auto& f = this->form();
    f.ListSetCurrent(kList, 15);
    f.ListSetTopIndex(kList, 10);
    f.ListClear(kList);
    EXPECT_EQ(f.ListCount(kList), 0);
    ExpectShown(this->backend.ShownCount(kList), 0);
    EXPECT_EQ(this->Current(kList), -1);
    EXPECT_EQ(f.ListText(kList, 0), std::nullopt);

    const std::vector<std::string> items{"001 Pad", std::string("a\0b", 3), "\x80\xFF", ""};
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(f.ListAdd(kList, items[i]), static_cast<int>(i));
    EXPECT_EQ(f.ListCount(kList), 4);
    ExpectShown(this->backend.ShownCount(kList), 4);
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(f.ListText(kList, static_cast<int>(i)), items[i]) << "any bytes, whole";
    EXPECT_EQ(this->Selected(kList), std::vector<int>{});
    EXPECT_EQ(this->Current(kList), -1);
    this->backend.ClickRow(kList, 3);
    EXPECT_EQ(this->Current(kList), 3);
}

TYPED_TEST_P(FormContract, ProgressWindowAndItsStop) {
    auto& f = this->form();
    auto& b = this->backend;
    EXPECT_TRUE(f.ProgressStep(1, "x")) << "without a progress window there is nothing to stop";
    f.ProgressOpen("WRITING ...", 3);
    ExpectShown(b.ShownProgressDone(), 0);
    ExpectShown(b.ShownMainEnabled(), false);
    EXPECT_TRUE(f.ProgressStep(1, "bank2.an1"));
    ExpectShown(b.ShownProgressDone(), 1);
    b.PressStop();
    EXPECT_FALSE(f.ProgressStep(2, "bank3.an1"));
    EXPECT_FALSE(f.ProgressStep(2, "bank3.an1")) << "a stop stays asked";
    EXPECT_TRUE(f.Progress().stopAsked);
    f.ProgressClose();
    ExpectShown(b.ShownProgressDone(), -1);
    ExpectShown(b.ShownMainEnabled(), true);
    EXPECT_FALSE(f.Progress().open);

    f.ProgressOpen("AGAIN ...", 2);
    EXPECT_TRUE(f.ProgressStep(5, "")) << "a new run starts without the old stop";
    EXPECT_EQ(f.Progress().done, 2) << "never more than the total";
    ExpectShown(b.ShownProgressDone(), 2);
    f.ProgressClose();
    f.ProgressClose();
    ExpectShown(b.ShownProgressDone(), -1);
}

REGISTER_TYPED_TEST_SUITE_P(FormContract, SingleSelection, MultipleSelectionAndTheCurrentItem,
                            SettingFromCodeNeverNotifies, OptionGroupsAndCheckBoxes,
                            MenuMarksAndItemTexts, ComboItemsTheirDataAndTheShownItem,
                            CaptionsAndColoursReadBack, AListClearedAndRefilled,
                            ProgressWindowAndItsStop);

} // namespace veltrano::platform::contract
