// The list-box helpers and the two combo-box operations on the headless list boxes.
#include <gtest/gtest.h>

#include "platform/ListBox.h"
#include "platform/headless/HeadlessForm.h"
#include "shell/Program.h"

namespace veltrano::platform {
namespace {

using headless::HeadlessForm;
using headless::kListRowHeight;

class ListBoxTest : public ::testing::Test {
  protected:
    ListBoxTest() {
        form.CreateMainWindow(460, 550);
        form.CreateControl(list, ControlKind::ListBox, "", {10, 10, 100, 10 * kListRowHeight});
    }
    void Fill(int n) {
        for (int i = 0; i < n; ++i)
            form.ListAdd(list, "item " + std::to_string(i));
    }
    HeadlessForm form;
    const ControlRef list{Array::lsb, 7};
};

TEST_F(ListBoxTest, AnEmptyListHasNoCurrentItemAndNoText) {
    EXPECT_EQ(LSB_GetItemSelect(form, list), -1);
    EXPECT_EQ(LSB_GetItemText(form, list), "");
    EXPECT_EQ(LSB_ItemText(form, list, 0), "");
}

TEST_F(ListBoxTest, SelectingFromCodeSetsTheCurrentItemOfASingleSelectionList) {
    Fill(3);
    LSB_ItemSelect(form, list, 2);
    EXPECT_EQ(LSB_GetItemSelect(form, list), 2);
    EXPECT_EQ(LSB_GetItemText(form, list), "item 2");
    EXPECT_TRUE(form.ListSelected(list, 2));
    LSB_ItemSelect(form, list, -1);
    EXPECT_EQ(LSB_GetItemSelect(form, list), -1);
    EXPECT_FALSE(form.ListSelected(list, 2));
    EXPECT_EQ(LSB_GetItemText(form, list), "");
    LSB_ItemSelect(form, list, 3); // past the last item: nothing selected
    EXPECT_EQ(LSB_GetItemSelect(form, list), -1);

    // In multiple selection the current item is the one last clicked; selecting from code
    // does not apply there.
    form.ListSetMultiSelect(list, true);
    form.UserClickList(list.index, 1, 0, kButtonLeft);
    EXPECT_EQ(LSB_GetItemSelect(form, list), 1);
    EXPECT_EQ(LSB_GetItemText(form, list), "item 1");
    LSB_ItemSelect(form, list, 0);
    EXPECT_EQ(LSB_GetItemSelect(form, list), 1);
    EXPECT_FALSE(form.ListSelected(list, 0));
}

TEST_F(ListBoxTest, ItemTextIsWholeUpToItsFirstZeroByte) {
    const std::string longText(300, 'x');
    form.ListAdd(list, longText);
    form.ListAdd(list, std::string("ab\0cd\xFF", 6));
    form.ListAdd(list, std::string("\xFF\xFE", 2));
    EXPECT_EQ(LSB_ItemText(form, list, 0), longText);
    EXPECT_EQ(LSB_ItemText(form, list, 1), "ab");
    EXPECT_EQ(LSB_ItemText(form, list, 2), "\xFF\xFE");
    EXPECT_EQ(LSB_ItemText(form, list, 3), "");
    EXPECT_EQ(LSB_ItemText(form, list, -1), "");
    LSB_ItemSelect(form, list, 1);
    EXPECT_EQ(LSB_GetItemText(form, list), "ab");
}

TEST(ComboOperations, ShowingAnItemFromCodeNeverRunsTheBoxHandler) {
    HeadlessForm form;
    form.programFolder = VELTRANO_SOURCE_DIR "/data";
    Program program(form);
    program.StartUp();
    const ControlRef box{Array::cmb, 230};
    ASSERT_GT(form.ComboCount(box), 6);
    const auto before = program.panel().work().Matrix();

    ComboShow(form, box, 5);
    EXPECT_EQ(ComboChosen(form, box), 5);
    EXPECT_EQ(program.panel().work().Matrix(), before);
    ComboShow(form, box, form.ComboCount(box)); // beyond the last item: shows none
    EXPECT_EQ(ComboChosen(form, box), -1);
    EXPECT_EQ(program.panel().work().Matrix(), before);

    // The user's choice does run it.
    form.UserChooseCombo(box.index, 5);
    EXPECT_EQ(ComboChosen(form, box), 5);
    EXPECT_EQ(program.panel().work().Matrix()[1], 5);
}

} // namespace
} // namespace veltrano::platform
