#pragma once
// SearchReplace: search and replace of controllers and parameters over all voices of the
// loaded file. A mode is armed from the menu; a click on a numbered row label then searches
// for the value shown in that row, and in a replace mode a second click replaces the value
// found by the value of the row clicked. The mode, the step and the value last searched for
// are kept here; the check marks and the green and red headers are painted from them.
#include <cstdint>

#include "matrix/MatrixPanel.h"
#include "matrix/VoiceList.h"
#include "platform/Form.h"
#include "shell/Document.h"
#include "shell/Menus.h"
#include "shell/Messages.h"

namespace veltrano {

// The mode armed from the menu.
enum class SearchMode {
    None,
    SearchController,
    SearchParameter,
    ReplaceController,
    ReplaceParameter
};

// One search or replace over the voices.
enum class SearchOp { FindController = 1, FindParameter, ReplaceController, ReplaceParameter };

class SearchReplace {
  public:
    // Where an armed mode stands: waiting for the value to find (the green header), or, in a
    // replace mode after a find, for the value to replace it by (the red header).
    enum class Step { Idle, Find, Replace };

    SearchReplace(platform::Form& form, Messages& messages, Menus& menus, Document& document,
                  VoiceList& voices, MatrixPanel& panel)
        : form_(form), messages_(messages), menus_(menus), document_(document), voices_(voices),
          panel_(panel) {}

    // The mode of a menu command (509 to 512), None for other ids.
    static SearchMode ModeOfCommand(std::int32_t id);

    void Arm(SearchMode mode);
    // No mode armed: the marks and the headers as at start-up.
    void Disarm();
    // The headers and the marker back to rest; the mode's check mark stays, so a search mode
    // still searches but a replace mode waits to be armed again.
    void ClearHeaders();
    // A click on numbered label row (1 to 16).
    void NumberedLabelClicked(int row);
    // Searches or replaces value over the listed voices and says what it did; returns the
    // count (0 for an op outside the four).
    int Search(SearchOp op, int value);

    SearchMode mode() const { return mode_; }
    Step step() const { return step_; }
    std::uint8_t lastSearchValue() const { return lastSearchValue_; }
    void setLastSearchValue(std::uint8_t v) { lastSearchValue_ = v; }

  private:
    void Paint();
    void ReplaceStep(int row, bool controller);

    platform::Form& form_;
    Messages& messages_;
    Menus& menus_;
    Document& document_;
    VoiceList& voices_;
    MatrixPanel& panel_;
    SearchMode mode_ = SearchMode::None;
    Step step_ = Step::Idle;
    std::uint8_t lastSearchValue_ = 0; // what the second step of a replace replaces
};

} // namespace veltrano
