#pragma once
// The items of a list box or a drop-down list and the selection rules of a list box, one copy
// for every backend: single selection, or simple multiple selection (a click toggles one
// item), the current item and the top item. A backend that draws its list draws it from
// here; one with a native list mirrors every change made here into it, and tells the model
// what the user did there.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veltrano::platform {

struct ListItem {
    std::string text; // as the program gave it, any bytes
    std::int32_t data = 0;
    bool selected = false;
};

class ListModel {
  public:
    // No items, no selection, no current item, the top at the first row; the style stays.
    void Clear();
    int Add(const std::string& text, std::int32_t data = 0); // the new item's index
    void RemoveLast();
    int Count() const { return static_cast<int>(items_.size()); }
    const ListItem* At(int i) const; // nothing for an index with no item
    std::optional<std::string> Text(int i) const;
    std::optional<std::int32_t> Data(int i) const;

    bool Multi() const { return multi_; }
    // Switching the style starts afresh: nothing selected, no current item. False when the
    // style does not change.
    bool SetMulti(bool multi);
    bool Selected(int i) const;
    // Multiple selection: selects or deselects item i. Single selection: selecting makes i the
    // one selected item and the current one; deselecting it leaves nothing selected. False for
    // an index with no item.
    bool SetSelected(int i, bool selected);
    // The selected item in single selection; the item with the focus (the one last clicked) in
    // multiple selection; -1 when there is none.
    int Current() const;
    // Single selection: selects item i alone, or nothing for an index with no item. A
    // multiple-selection list takes no selection this way: false, and nothing changes.
    bool SetCurrent(int i);
    // The user presses the left button on row i: multiple selection toggles it, single
    // selection selects it alone; either way it becomes the current item. False for a row
    // with no item.
    bool Press(int i);
    // Multiple selection: the focus moves to item i and the selection stays.
    void MoveFocus(int i);

    int Top() const { return top_; }
    void SetTop(int i); // kept within the items
    // Scrolls the least that shows item i among `visible` rows from the top.
    void ScrollIntoView(int i, int visible);

  private:
    void SelectOnly(int i); // -1: nothing
    std::vector<ListItem> items_;
    bool multi_ = false;
    int current_ = -1;
    int top_ = 0;
};

} // namespace veltrano::platform
