// The backends' contract on the headless backend, whose simulated user acts on the records.
#include "FormContract.h"
#include "KeyContract.h"
#include "platform/headless/HeadlessForm.h"

namespace veltrano::platform::contract {
namespace {

class HeadlessBackend {
  public:
    HeadlessBackend() {
        form_.CreateMainWindow(460, 550);
        form_.ShowWindow();
    }
    FormBase& Form() { return form_; }
    void Pump() {}
    void ClickRow(ControlRef list, int row) {
        form_.UserClickList(list.index, row, 0, kButtonLeft);
    }
    void ClickBox(ControlRef box) {
        if (box.array == Array::chk)
            form_.UserClickCheck(box.index);
        else
            form_.UserClickOption(box.index);
    }
    void ChooseNext(ControlRef combo) {
        form_.UserChooseCombo(combo.index, form_.ComboCurSel(combo) + 1);
    }
    // Nothing is shown but the records.
    std::optional<bool> ShownChecked(ControlRef) { return std::nullopt; }
    std::optional<bool> ShownSelected(ControlRef, int) { return std::nullopt; }
    std::optional<int> ShownCurrent(ControlRef) { return std::nullopt; }
    std::optional<int> ShownCount(ControlRef) { return std::nullopt; }
    std::optional<bool> ShownMenuChecked(MenuHandle, std::int32_t) { return std::nullopt; }
    std::optional<std::string> ShownMenuText(MenuHandle, std::int32_t) { return std::nullopt; }
    void PressStop() { form_.stopAnswers.push_back(0); }
    std::optional<int> ShownProgressDone() { return std::nullopt; }
    std::optional<bool> ShownMainEnabled() { return std::nullopt; }
    void PressKey(ControlRef ref, Key key, int shift) { form_.UserKey(ref, key, shift); }

  private:
    headless::HeadlessForm form_;
};

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Headless, FormContract, HeadlessBackend);
INSTANTIATE_TYPED_TEST_SUITE_P(Headless, KeyContract, HeadlessBackend);

} // namespace veltrano::platform::contract
