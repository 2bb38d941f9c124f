// The menu bar built from its text definition, and the check-mark operations.
#include <gtest/gtest.h>

#include "platform/headless/HeadlessForm.h"
#include "shell/Program.h"

namespace veltrano {
namespace {

using platform::headless::HeadlessForm;

class MenuTest : public ::testing::Test {
  protected:
    MenuTest() : program(form) { form.CreateMainWindow(460, 550); }

    // The items of the attached bar as "caption:id:flags:text" per item, popups as "[caption]".
    std::vector<std::string> Items() const {
        std::vector<std::string> out;
        const auto view = form.MenuBarView();
        if (!view) return {"<none>"};
        for (const auto& p : *view) {
            out.push_back("[" + p.caption + "]");
            for (const auto& i : p.items)
                out.push_back(std::to_string(i.id) + ":" + std::to_string(i.flags) + ":" + i.text);
        }
        return out;
    }

    HeadlessForm form;
    Program program;
};

TEST_F(MenuTest, SeparatorsAndBlanksAfterThemFormFields) {
    const MenuHandle m = program.menus().FromText("1;MF_POPUP;&File\r\n"
                                                  "5;MF_STRING;Open\r\n"
                                                  "5= MF_STRING=  Open\r\n"
                                                  "6;MF_STRING ;Not an item\r\n"
                                                  "  7x;MF_SEPARATOR;ignored\r\n"
                                                  "abc;MF_MENUBREAK;Column\r\n"
                                                  "9;MF_MENUBARBREAK;Bar column\r\n"
                                                  "10;MF_UNKNOWN;Nothing\r\n");
    ASSERT_NE(m, 0);
    EXPECT_EQ(form.AttachedMenuBar(), m);
    const std::vector<std::string> want = {"[&File]",   "505:0:Open",    "505:0:Open",
                                           "507:2048:", "500:64:Column", "509:32:Bar column"};
    EXPECT_EQ(Items(), want);
}

TEST_F(MenuTest, FieldCountDecidesTheCaption) {
    const MenuHandle m = program.menus().FromText("1;MF_POPUP;P\r\n"
                                                  "2;MF_STRING\r\n"
                                                  "3;MF_STRING;Three;ignored\r\n"
                                                  "4;MF_STRING;Save;CS;S\r\n"
                                                  "5;MF_STRING;Copy;C;C\r\n"
                                                  "6;MF_STRING;Menu;A;M\r\n"
                                                  "7;MF_STRING;Num;N;7\r\n"
                                                  "8;MF_STRING;Help;F;1\r\n"
                                                  "9;MF_STRING;Other;X;Del\r\n"
                                                  "10;MF_STRING;Empty;;Ins\r\n"
                                                  "11;MF_STRING;Six;a;b;c\r\n");
    ASSERT_NE(m, 0);
    const std::vector<std::string> want = {"[P]",
                                           "502:0:",
                                           "503:0:Three",
                                           "504:0:Save\tCtrl+Shift+S",
                                           "505:0:Copy\tCtrl+C",
                                           "506:0:Menu\tAlt+M",
                                           "507:0:Num\tNLck+7",
                                           "508:0:Help\tF1",
                                           "509:0:Other\tDel",
                                           "510:0:Empty\tIns",
                                           "511:0:"};
    EXPECT_EQ(Items(), want);
}

TEST_F(MenuTest, AnEmptyLineEndsTheDefinition) {
    const MenuHandle m =
        program.menus().FromText("1;MF_POPUP;A\r\n2;MF_STRING;Two\r\n\r\n3;MF_POPUP;B\r\n"
                                 "4;MF_STRING;Four\r\n5\r\n");
    ASSERT_NE(m, 0);
    const std::vector<std::string> want = {"[A]", "502:0:Two"};
    EXPECT_EQ(Items(), want);
}

TEST_F(MenuTest, ALineWithoutSeparatorAbandonsTheWholeMenu) {
    const int before = form.LiveMenuCount();
    EXPECT_EQ(program.menus().FromText("1;MF_POPUP;A\r\n2;MF_STRING;Two\r\n5\r\n"), 0);
    EXPECT_EQ(form.AttachedMenuBar(), 0);
    EXPECT_EQ(Items(), std::vector<std::string>{"<none>"});
    EXPECT_EQ(form.LiveMenuCount(), before) << "menus of an abandoned build are not left behind";
    EXPECT_TRUE(form.messages.empty()) << "no message for a malformed definition";
    EXPECT_EQ(program.menus().FromText(""), 0);
}

TEST_F(MenuTest, PopupsWithEmptyCaptionShowOnlyWhenLast) {
    // The second popup has two fields, hence an empty caption: it is dropped, and its items
    // with it; the last popup is attached whatever its caption.
    const MenuHandle m = program.menus().FromText("0;MF_STRING;Orphan\r\n"
                                                  "1;MF_POPUP;First\r\n2;MF_STRING;A\r\n"
                                                  "3;MF_POPUP\r\n4;MF_STRING;B\r\n"
                                                  "5;MF_POPUP;Third\r\n6;MF_STRING;C\r\n"
                                                  "7;MF_POPUP\r\n8;MF_STRING;D\r\n");
    ASSERT_NE(m, 0);
    const std::vector<std::string> want = {"[First]", "502:0:A", "[Third]",
                                           "506:0:C", "[]",      "508:0:D"};
    EXPECT_EQ(Items(), want);
}

TEST_F(MenuTest, CheckMarksByCommand) {
    const MenuHandle m =
        program.menus().FromText("1;MF_POPUP;A\r\n2;MF_STRING;Two\r\n3;MF_POPUP;B\r\n"
                                 "9;MF_STRING;Nine\r\n10;MF_MENUBREAK;Ten\r\n");
    ASSERT_NE(m, 0);
    EXPECT_FALSE(program.menus().OptionChecked(m, 509));
    EXPECT_EQ(program.menus().ToggleOption(m, 509), 8);
    EXPECT_TRUE(program.menus().OptionChecked(m, 509));
    EXPECT_EQ(program.menus().ToggleOption(m, 509), 0);
    EXPECT_FALSE(program.menus().OptionChecked(m, 509));
    EXPECT_EQ(form.MenuItemState(m, 509), 0);

    // An item with another state flag never reads as checked, even with its mark set.
    program.menus().ToggleOption(m, 510);
    EXPECT_EQ(form.MenuItemState(m, 510), 0x40 | 8);
    EXPECT_FALSE(program.menus().OptionChecked(m, 510));

    program.menus().ToggleOption(m, 502);
    program.menus().UncheckOption(m, 502);
    EXPECT_FALSE(program.menus().OptionChecked(m, 502));

    // Missing items and an empty handle: false, and nothing breaks.
    EXPECT_FALSE(program.menus().OptionChecked(m, 599));
    EXPECT_FALSE(program.menus().OptionChecked(0, 502));
    program.menus().UncheckOption(0, 502);
}

TEST_F(MenuTest, TheShippedDefinitionOffersEveryCommand) {
    program.menus().Build();
    ASSERT_NE(program.menus().bar(), 0);
    for (int id : {502, 503, 504, 507, 509, 510, 511, 512, 513, 515, 517, 518}) {
        EXPECT_EQ(form.MenuItemState(program.menus().bar(), id), 0)
            << id << " must be a plain MF_STRING item";
        EXPECT_FALSE(form.MenuItemText(program.menus().bar(), id).value_or("").empty()) << id;
    }
}

} // namespace
} // namespace veltrano
