#pragma once
// StoredMatrices: the collection of named matrices shown in the store list (entry n at
// [n - 1], row n - 1), storing the panel's matrix, recalling one, and opening and saving the
// collection file.
#include "collection/Collection.h"
#include "matrix/MatrixPanel.h"
#include "platform/Form.h"
#include "shell/Messages.h"

namespace veltrano {

class StoredMatrices {
  public:
    StoredMatrices(platform::Form& form, Messages& messages, MatrixPanel& panel)
        : form_(form), messages_(messages), panel_(panel) {}

    collection::MatrixCollection& matrices() { return matrices_; }
    const collection::MatrixCollection& matrices() const { return matrices_; }

    // "Store Matrix": the panel's matrix under a name and a category the user gives.
    void Store();
    // Row p of the store list into the panel.
    void Recall(int p);
    // The store list shows the collection.
    void FillList();
    // The collection file: read one in place of the collection, or write the collection.
    void Open();
    void Save();
    void Clear() { matrices_.clear(); }

  private:
    platform::Form& form_;
    Messages& messages_;
    MatrixPanel& panel_;
    collection::MatrixCollection matrices_;
};

} // namespace veltrano
