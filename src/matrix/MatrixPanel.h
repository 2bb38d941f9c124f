#pragma once
// MatrixPanel: the sixteen rows of slot boxes and the work record they show (the current
// matrix, category and name); editing a slot, the name lists in the boxes, and the
// transfers between the panel and the voices of the loaded file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "collection/Collection.h"
#include "matrix/VoiceList.h"
#include "platform/Form.h"
#include "shell/Document.h"
#include "shell/Messages.h"
#include "textfile/DataTables.h"
#include "textfile/UserNames.h"
#include "voice/Rules.h"

namespace veltrano {

class MatrixPanel {
  public:
    MatrixPanel(platform::Form& form, Messages& messages, Document& document, VoiceList& voices)
        : form_(form), messages_(messages), document_(document), voices_(voices) {}

    collection::StoredMatrix& work() { return work_; }
    const collection::StoredMatrix& work() const { return work_; }

    // Start-up: reads the name lists from block file n of the document's library into the
    // boxes, each box at its initial value, and says what the data file lacked.
    void LoadTables(int n);
    // A column's sixteen boxes get the names, and the work record their initial values.
    void ShowNames(int column, const std::vector<textfile::TableEntry>& entries);

    // Edit > Rename Value...: a new name for the value of the slot box last chosen, in all
    // sixteen boxes of its column, kept in the user's names file.
    void RenameValue();
    // Edit > Use Shipped Names: asked first; removes the user's names file.
    void UseShippedNames();
    const textfile::NameBook& names() const { return names_; }

    // The user chose an item of slot box cmb index.
    void EditSlot(int index);
    // The work record's matrix in the boxes.
    void Show();
    // The chosen position of a column's box in a row (1 to 16), as 0 to 255; a box showing
    // nothing gives 255.
    std::uint8_t ShownValue(voice::SlotField column, int row) const;
    // The name of a value: its item in the column's row-1 box; none gives "".
    std::string NameOf(voice::SlotField column, std::uint8_t value) const;

    // Voice k's matrix into the panel; bytes past the end of the data read as 0.
    void LoadVoiceMatrix(int k);
    // A click on the voice list with "Write" checked: the transfer the option buttons choose.
    void VoiceListClicked();
    // "Write" checked with "Matrix To Voice": the panel's matrix into every selected voice.
    void WriteClicked();
    // The category chooser after a right click: into the panel and every selected voice.
    void SetVoiceCategory();

  private:
    platform::Form& form_;
    Messages& messages_;
    Document& document_;
    VoiceList& voices_;
    collection::StoredMatrix work_; // the panel's record
    textfile::NameBook names_;      // the names the boxes show
    int lastBox_ = -1;              // the slot box last chosen, -1 before any

    // A column's sixteen boxes refilled with the book's names, each showing the same position.
    void RefillColumn(int column);
    // The book's names of a column as entries, with the shipped file's numbers.
    std::vector<textfile::TableEntry> EntriesOf(int column) const;
};

} // namespace veltrano
