// The menu record both backends keep: handles, nesting, lookups and destruction of trees.
#include <gtest/gtest.h>

#include "platform/MenuTable.h"

namespace veltrano {
namespace {

using platform::MenuHandle;
using platform::MenuTable;
using platform::MF_CHECKED;
using platform::MF_MENUBREAK;
using platform::MF_POPUP;
using platform::MF_SEPARATOR;
using platform::MF_STRING;

// A bar with popup "File" (item 10, a separator 11, and submenu "Recent" with items 20 and 21)
// and popup "Edit" (item 30, and an item 20 that "Recent" shadows).
struct Tree {
    MenuTable t;
    MenuHandle bar = t.Create(true);
    MenuHandle file = t.Create(false);
    MenuHandle recent = t.Create(false);
    MenuHandle edit = t.Create(false);

    Tree() {
        EXPECT_TRUE(t.Append(recent, MF_STRING, 20, "One"));
        EXPECT_TRUE(t.Append(recent, MF_STRING | MF_CHECKED, 21, "Two"));
        EXPECT_TRUE(t.Append(file, MF_STRING, 10, "Open"));
        EXPECT_TRUE(t.Append(file, MF_SEPARATOR, 11, "dropped"));
        EXPECT_TRUE(t.Append(file, MF_POPUP, recent, "Recent"));
        EXPECT_TRUE(t.Append(edit, MF_STRING, 30, "Copy"));
        EXPECT_TRUE(t.Append(edit, MF_MENUBREAK, 20, "Later twenty"));
        EXPECT_TRUE(t.Append(bar, MF_POPUP, file, "File"));
        EXPECT_TRUE(t.Append(bar, MF_POPUP, edit, "Edit"));
    }
};

TEST(MenuTableTest, HandlesStartAtOneAndAreNeverHandedOutAgain) {
    MenuTable t;
    const MenuHandle a = t.Create(true);
    const MenuHandle b = t.Create(false);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_TRUE(t.Destroy(b));
    EXPECT_EQ(t.Create(false), 3);
    EXPECT_EQ(t.Get(0), nullptr);
    EXPECT_TRUE(t.Get(a)->bar);
    EXPECT_FALSE(t.Get(3)->bar);
}

TEST(MenuTableTest, AppendRefusesUnknownMenusAndPopupsAndLeavesTheMenuAlone) {
    MenuTable t;
    const MenuHandle bar = t.Create(true);
    const MenuHandle popup = t.Create(false);
    EXPECT_EQ(t.Append(99, MF_STRING, 1, "x"), nullptr);
    EXPECT_EQ(t.Append(bar, MF_POPUP, 99, "unknown"), nullptr);
    EXPECT_EQ(t.Append(bar, MF_POPUP, bar, "itself"), nullptr);
    EXPECT_EQ(t.Append(popup, MF_POPUP, 0, "none"), nullptr);
    EXPECT_TRUE(t.Get(bar)->entries.empty());
    EXPECT_TRUE(t.Get(popup)->entries.empty());

    // Accepted: the entry comes back as stored, the mark apart from the flags.
    const MenuTable::Entry* e = t.Append(popup, MF_STRING | MF_CHECKED | MF_MENUBREAK, 7, "Seven");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->flags, MF_MENUBREAK);
    EXPECT_TRUE(e->checked);
    EXPECT_EQ(e->State(), MF_MENUBREAK | MF_CHECKED);
    EXPECT_EQ(t.Get(popup)->entries.size(), 1u);
}

TEST(MenuTableTest, LookupsReachEveryLevelBelowTheMenuFirstMatchFirst) {
    Tree m;
    MenuHandle owner = 0;
    const MenuTable::Entry* e = m.t.Find(m.bar, 21, &owner);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(owner, m.recent);
    EXPECT_EQ(e->text, "Two");
    EXPECT_EQ(m.t.ItemState(m.bar, 21), static_cast<int>(MF_CHECKED));

    // Item 20 stands in "Recent" (inside "File") and in "Edit": the one met first wins.
    EXPECT_EQ(m.t.ItemText(m.bar, 20), "One");
    EXPECT_EQ(m.t.ItemText(m.edit, 20), "Later twenty");
    EXPECT_EQ(m.t.ItemState(m.edit, 20), static_cast<int>(MF_MENUBREAK));

    // Only below the menu asked: not in a sibling, not above.
    EXPECT_EQ(m.t.Find(m.edit, 10), nullptr);
    EXPECT_EQ(m.t.Find(m.recent, 10), nullptr);
    EXPECT_EQ(m.t.ItemState(m.recent, 30), -1);
    EXPECT_EQ(m.t.ItemText(m.recent, 30), std::nullopt);

    // Separators are found by their id and keep no text; popups are not found by handle.
    EXPECT_EQ(m.t.ItemText(m.bar, 11), "");
    EXPECT_EQ(m.t.ItemState(m.bar, 11), static_cast<int>(MF_SEPARATOR));
    EXPECT_EQ(m.t.Find(m.bar, m.recent), nullptr);

    // A mark set through the bar lands on the nested item.
    ASSERT_NE(m.t.Check(m.bar, 20, true), nullptr);
    EXPECT_TRUE(m.t.Find(m.recent, 20)->checked);
    EXPECT_FALSE(m.t.Find(m.edit, 20)->checked);
    EXPECT_EQ(m.t.Check(m.bar, 99, true), nullptr);
}

TEST(MenuTableTest, DestroyingAMenuTakesThePopupsBelowIt) {
    Tree m;
    const MenuHandle other = m.t.Create(false);
    EXPECT_EQ(m.t.Count(), 5);

    EXPECT_TRUE(m.t.Destroy(m.file));
    EXPECT_EQ(m.t.Get(m.file), nullptr);
    EXPECT_EQ(m.t.Get(m.recent), nullptr);
    EXPECT_NE(m.t.Get(m.bar), nullptr);
    // The bar keeps its entry for the popup that is gone; nothing below it is found.
    EXPECT_EQ(m.t.Find(m.bar, 21), nullptr);
    EXPECT_EQ(m.t.ItemText(m.bar, 20), "Later twenty");

    EXPECT_TRUE(m.t.Destroy(m.bar));
    EXPECT_EQ(m.t.Count(), 1);
    EXPECT_NE(m.t.Get(other), nullptr);
    EXPECT_FALSE(m.t.Destroy(m.bar));
    EXPECT_FALSE(m.t.Destroy(0));
}

TEST(MenuTableTest, APopupHasOneOwnerUntilEitherIsDestroyed) {
    Tree m;
    EXPECT_TRUE(m.t.PopupTaken(m.bar)) << "a bar goes into no menu";
    EXPECT_FALSE(m.t.PopupTaken(m.file));
    m.t.SetOwner(m.file, m.bar);
    m.t.SetOwner(m.recent, m.file);
    EXPECT_TRUE(m.t.PopupTaken(m.file));
    EXPECT_EQ(m.t.OwnerOf(m.recent), m.file);
    m.t.ForgetOwner(m.recent);
    EXPECT_FALSE(m.t.PopupTaken(m.recent));

    m.t.SetOwner(m.recent, m.file);
    EXPECT_TRUE(m.t.Destroy(m.file)); // and "Recent" below it
    EXPECT_FALSE(m.t.OwnerOf(m.file));
    EXPECT_FALSE(m.t.OwnerOf(m.recent));
}

TEST(MenuTableTest, CircularPopupsEndLookupsAndDestruction) {
    MenuTable t;
    const MenuHandle a = t.Create(false);
    const MenuHandle b = t.Create(false);
    ASSERT_TRUE(t.Append(a, MF_POPUP, b, "B"));
    ASSERT_TRUE(t.Append(b, MF_POPUP, a, "A"));
    ASSERT_TRUE(t.Append(b, MF_STRING, 5, "Five"));
    EXPECT_EQ(t.Find(a, 6), nullptr);
    EXPECT_EQ(t.ItemText(a, 5), "Five");
    EXPECT_TRUE(t.Destroy(a));
    EXPECT_EQ(t.Count(), 0);
}

TEST(MenuTableTest, ViewListsTheBarsPopupsWithTheirItems) {
    Tree m;
    ASSERT_TRUE(m.t.Append(m.bar, MF_STRING, 40, "Loose"));
    ASSERT_TRUE(m.t.Check(m.bar, 10, true));
    const auto view = m.t.View(m.bar);
    ASSERT_TRUE(view);
    std::vector<std::string> got;
    for (const auto& p : *view) {
        got.push_back("[" + p.caption + "]");
        for (const auto& i : p.items)
            got.push_back(std::to_string(i.id) + ":" + std::to_string(i.flags) + ":" + i.text);
    }
    // One level only: "Recent" shows as an entry of "File", not with its items; a command
    // on the bar shows as a popup without items.
    const std::vector<std::string> want = {
        "[File]", "10:8:Open", "11:2048:",           "0:16:Recent",
        "[Edit]", "30:0:Copy", "20:64:Later twenty", "[Loose]"};
    EXPECT_EQ(got, want);

    EXPECT_TRUE(m.t.Destroy(m.edit));
    const auto after = m.t.View(m.bar);
    ASSERT_TRUE(after);
    ASSERT_EQ(after->size(), 3u);
    EXPECT_EQ((*after)[1].caption, "Edit");
    EXPECT_TRUE((*after)[1].items.empty());

    EXPECT_FALSE(m.t.View(0));
    EXPECT_FALSE(m.t.View(99));
}

} // namespace
} // namespace veltrano
