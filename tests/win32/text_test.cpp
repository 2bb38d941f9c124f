// The Windows backend's text rules, which need no window: dialog filters, shortcut texts,
// paths the program cannot use, and strict narrowing to the code page.
#include <gtest/gtest.h>

#include "platform/win32/Win32Form.h"

namespace veltrano::platform::win32 {
namespace {

// A text with zero bytes inside, as the literal spells it.
template <std::size_t N> std::string Z(const char (&s)[N]) {
    return std::string(s, N - 1);
}

TEST(Win32Text, FilterBecomesZeroSeparatedPairs) {
    struct Case {
        std::string filter;
        std::string native;
    };
    const Case cases[] = {
        {"Matrix Collection File (*.mtx)|*.mtx|All (*.*)|*.*",
         Z("Matrix Collection File (*.mtx)\0*.mtx\0All (*.*)\0*.*\0\0")},
        {"|*.ans", Z("*.ans\0*.ans\0\0")},    // no description: the pattern
        {"Lonely|", Z("All files\0*.*\0\0")}, // no pattern: every file
        {"", Z("All files\0*.*\0\0")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NativeFilter(c.filter), c.native) << c.filter;
}

TEST(Win32Text, ShortcutTextsBecomeAccelerators) {
    struct Case {
        const char* text;
        BYTE flags;
        WORD key;
    };
    const Case cases[] = {
        {"&Open Matrix Collection...\tCtrl+O", FVIRTKEY | FCONTROL, 'O'},
        {"AN&1 Voice Directory (*.an1)...\tCtrl+1", FVIRTKEY | FCONTROL, '1'},
        {"X\tCtrl+Shift+s", FVIRTKEY | FCONTROL | FSHIFT, 'S'},
        {"X\tAlt+Q", FVIRTKEY | FALT, 'Q'},
        {"Search &Controller\tF5", FVIRTKEY, VK_F5},
        {"X\tF12", FVIRTKEY, VK_F12},
    };
    for (const Case& c : cases) {
        const auto a = ShortcutAccel(c.text, 509);
        ASSERT_TRUE(a.has_value()) << c.text;
        EXPECT_EQ(a->fVirt, c.flags) << c.text;
        EXPECT_EQ(a->key, c.key) << c.text;
        EXPECT_EQ(a->cmd, 509) << c.text;
    }
    for (const char* none :
         {"Veltrano on the &Web", "X\tNLck+5", "X\tF0", "X\tF25", "X\tCtrl+", "X\t"})
        EXPECT_FALSE(ShortcutAccel(none, 1).has_value()) << none;
}

TEST(Win32Text, PathsWindowsCannotOpenAreNamed) {
    EXPECT_EQ(UnusablePathReason("C:\\Banks\\Pads.ans"), "");
    EXPECT_EQ(UnusablePathReason("C:\\" + std::string(256, 'a')), ""); // 259 characters
    EXPECT_NE(UnusablePathReason("C:\\" + std::string(257, 'a')).find("260 characters long"),
              std::string::npos);
    EXPECT_NE(UnusablePathReason("C:\\Banks\\?ódź.ans").find("code page"), std::string::npos);
}

TEST(Win32Text, NarrowingRefusesWhatTheCodePageCannotHold) {
    // Wine and the test runner use code page 1252 for the A functions.
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(NarrowStrict(L"Caf\u00e9"), std::optional<std::string>("Caf\xe9"));
    EXPECT_EQ(Widen("Caf\xe9"), L"Caf\u00e9");
    EXPECT_FALSE(NarrowStrict(L"\u0141\u00f3d\u017a").has_value()); // no best-fit "Lodz"
    EXPECT_FALSE(NarrowStrict(L"\u65e5\u672c").has_value());
}

} // namespace
} // namespace veltrano::platform::win32
