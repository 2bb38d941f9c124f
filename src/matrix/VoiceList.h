#pragma once
// VoiceList: the list of the loaded file's voices, filled from the model's voice lines; its
// selection modes, the range toggle with its two ends, "All", and the selected voices.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Form.h"
#include "shell/Document.h"

namespace veltrano {

class VoiceList {
  public:
    VoiceList(platform::Form& form, Document& document) : form_(form), document_(document) {}

    // One line a voice of the loaded bytes under the layout in force; empty without either.
    void Fill();
    // The "Multi Select List" check box as the user left it: the list takes its mode and is
    // rebuilt, so nothing stays selected.
    void MultiSelectClicked();
    // Checks "Multi Select List" from code, as a search needs multiple selection.
    void SwitchToMultiSelect();
    // A click released on a row: without shift it sets the range's anchor; with shift the
    // rows between the anchor and this row change their selection.
    void RangeToggle(int shift);
    void ForgetRange();
    std::int32_t RangeAnchor() const { return rangeAnchor_; }
    std::int32_t RangeEnd() const { return rangeEnd_; }
    // "All": every row changes its selection.
    void InvertAll();

    int Count() const;
    int Current() const;
    bool Selected(int row) const;
    void Select(int row, bool selected);
    void ClearSelection();
    // The selected rows, in order.
    std::vector<int> SelectedRows() const;
    // The selected rows' lines, each ending in CR LF; their selection is cleared.
    std::string TakeSelectedLines();

  private:
    platform::Form& form_;
    Document& document_;
    std::int32_t rangeAnchor_ = 0;
    std::int32_t rangeEnd_ = 0;
};

} // namespace veltrano
