#pragma once
// The keys' contract: a key on a control runs the handlers its click runs, in the same order.
// A backend's test program instantiates it with a Backend that has, beside what FormContract
// asks of it, void PressKey(ControlRef, Key, int shift): the user presses the key on the
// control, which has the focus.
#include "FormContract.h"

namespace veltrano::platform::contract {

template <class Backend> class KeyContract : public FormContract<Backend> {};

TYPED_TEST_SUITE_P(KeyContract);

TYPED_TEST_P(KeyContract, AKeyRunsTheHandlersOfItsClick) {
    this->Fill(kList, 4);
    auto& f = this->form();
    f.SetTabOrder({kList, kCombo, kCheck, kLabel}); // a label takes the focus when in it
    f.ComboAdd(kCombo, "one", 1);
    f.ComboAdd(kCombo, "two", 2);
    struct Case {
        ControlRef ref;
        Key key;
        int shift;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {kLabel, Key::Space, 0, {"lbl_Click 7"}},
        {kLabel, Key::Enter, 0, {"lbl_Click 7"}},
        {kCheck, Key::Space, 0, {"chk_Click 3"}},
        {kCombo, Key::Down, 0, {"cmb_Click 2"}}, // from no item to the first
        {kCombo, Key::Down, 0, {"cmb_Click 2"}},
        {kCombo, Key::Down, 0, {}}, // the last item already shows
        {kList, Key::Down, 0, {"lsb_Click 1"}},
        {kList, Key::Space, 0, {"lsb_Click 1", "lsb_MouseUp 1"}},
        {kList, Key::Enter, kShift, {"lsb_Click 1", "lsb_MouseUp 1"}},
        {kList, Key::Menu, 0, {"lsb_MouseUp 1"}},
        {kList, Key::F10, kShift, {"lsb_MouseUp 1"}},
        {kList, Key::F10, 0, {}},
    };
    for (const Case& c : cases) {
        this->recorder.calls.clear();
        this->backend.PressKey(c.ref, c.key, c.shift);
        EXPECT_EQ(this->recorder.calls, c.calls)
            << ArrayName(c.ref.array) << " " << static_cast<int>(c.key) << " shift " << c.shift;
    }
    EXPECT_TRUE(this->Checked(kCheck));
    EXPECT_EQ(this->Current(kCombo), 1);
    EXPECT_EQ(this->Current(kList), 0);
}

TYPED_TEST_P(KeyContract, MultipleSelectionMovesTheFocusAndSpaceToggles) {
    this->Fill(kList, 4);
    this->form().ListSetMultiSelect(kList, true);
    this->backend.PressKey(kList, Key::End, 0);
    this->backend.PressKey(kList, Key::Up, 0);
    EXPECT_EQ(this->Selected(kList), std::vector<int>{});
    EXPECT_EQ(this->form().ListCurrent(kList), 2);
    this->backend.PressKey(kList, Key::Space, 0);
    this->backend.PressKey(kList, Key::Home, 0);
    this->backend.PressKey(kList, Key::Space, kCtrl);
    EXPECT_EQ(this->Selected(kList), (std::vector<int>{0, 2}));
    EXPECT_EQ(this->recorder.Named("lsb_Click").size(), 2u);
}

REGISTER_TYPED_TEST_SUITE_P(KeyContract, AKeyRunsTheHandlersOfItsClick,
                            MultipleSelectionMovesTheFocusAndSpaceToggles);

} // namespace veltrano::platform::contract
