// Inputs at the edges of the integer range: a menu number too large for a command id, and a
// click on a list row far outside the list. Both are handled without any arithmetic
// overflowing (the sanitizer build checks that) and with a sensible result.
#include <gtest/gtest.h>

#include <climits>

#include "platform/ListBox.h"
#include "platform/headless/HeadlessForm.h"
#include "shell/Program.h"

namespace veltrano {
namespace {

using platform::headless::HeadlessForm;

TEST(MenuNumbers, ANumberTooLargeForACommandIdAbandonsTheBuild) {
    HeadlessForm form;
    Program program(form);
    form.CreateMainWindow(460, 550);

    // 2147483147 + 500 is the largest command id there is.
    const MenuHandle m = program.menus().FromText("1;MF_POPUP;P\r\n2147483147;MF_STRING;Last\r\n");
    ASSERT_NE(m, 0);
    EXPECT_EQ(form.MenuItemText(m, INT_MAX).value_or("<none>"), "Last");
    form.DestroyMenu(m);

    // One more, or a number of many digits, no longer fits: that line is an error.
    const int before = form.LiveMenuCount();
    for (const char* text :
         {"1;MF_POPUP;P\r\n2;MF_STRING;Two\r\n2147483148;MF_STRING;Big\r\n",
          "1;MF_POPUP;P\r\n99999999999999999999;MF_SEPARATOR\r\n",
          "99999999999;MF_POPUP;P\r\n2;MF_STRING;Two\r\n",
          // A submenu, before any popup or inside one, goes with the build.
          "26;MF_SUBMENU;R\r\n1;MF_POPUP;P\r\n5\r\n", "1;MF_POPUP;P\r\n26;MF_SUBMENU;R\r\n5\r\n"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(program.menus().FromText(text), 0);
        EXPECT_EQ(form.AttachedMenuBar(), 0);
        EXPECT_EQ(form.LiveMenuCount(), before);
    }
}

TEST(ListClicks, ARowFarOutsideTheListIsOverNoItem) {
    HeadlessForm form;
    form.CreateMainWindow(460, 550);
    const platform::ControlRef list{platform::Array::lsb, 7};
    form.CreateControl(list, platform::ControlKind::ListBox, "",
                       {10, 10, 100, 10 * platform::headless::kListRowHeight});
    for (int i = 0; i < 5; ++i)
        form.ListAdd(list, "item " + std::to_string(i));

    // 330382100 rows of 13 pixels are 4294967300 pixels: counted in 32 bits that would land
    // on the first row.
    for (const int row : {330382100, -330382100, INT_MAX, INT_MIN, 5, -1}) {
        SCOPED_TRACE(row);
        form.UserClickList(list.index, row, 0, platform::kButtonLeft);
        EXPECT_EQ(platform::LSB_GetItemSelect(form, list), -1);
    }
    form.UserClickList(list.index, 4, 0, platform::kButtonLeft);
    EXPECT_EQ(platform::LSB_GetItemSelect(form, list), 4);
}

} // namespace
} // namespace veltrano
