#pragma once
// VoiceBank: the loaded voice file's path and bytes. Every change to voice bytes goes
// through Apply, one batch of patches at a time; each batch that changes a byte is one
// step of the edit history, which gives undo and redo, and the bank remembers the bytes
// last read or saved, so it can tell whether anything is unsaved.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "voice/Voice.h"

namespace veltrano::voice {

// Bytes to put at an offset of the bank. Only the part that lies inside the bank is
// written: a bank never grows.
struct Patch {
    std::size_t offset = 0;
    std::string bytes;
};
using EditBatch = std::vector<Patch>;

// The patch that writes matrix m into voice k (empty when the layout gives no offset).
Patch MatrixPatch(VoiceLayout layout, int k, const ControlMatrix& m);
// The patch that writes the category byte of voice k.
Patch CategoryPatch(VoiceLayout layout, int k, std::uint8_t category);

class VoiceBank {
  public:
    // A new file: its path and bytes; the history starts empty and the bytes count as saved.
    void Load(std::string path, std::string bytes);
    // No file at all.
    void Unload();

    bool Loaded() const { return loaded_; }
    const std::string& Path() const { return path_; }
    std::string_view Bytes() const { return bytes_; }
    std::size_t Size() const { return bytes_.size(); }

    // Writes one batch as one step. Returns the number of bytes written (inside the bank);
    // a batch that changes no byte leaves the history as it was.
    std::size_t Apply(const EditBatch& batch);

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    // Each returns whether there was a step to take back or to apply again.
    bool Undo();
    bool Redo();

    // The bytes differ from those last read or saved.
    bool Unsaved() const { return unsaved_; }
    // The bytes in memory are now what the file on disk holds (under a new path, maybe).
    void MarkSaved(std::string path);

  private:
    struct Change {
        std::size_t offset;
        std::string before;
        std::string after;
    };
    using Step = std::vector<Change>;

    void Put(const Step& step, bool forward);
    void KeepSaved(); // before bytes_ change: saved_ takes them if it is not its own copy yet
    void UpdateUnsaved();

    bool loaded_ = false;
    std::string path_;
    std::string bytes_;
    // The bytes as last read or saved. Until the first change after a load or save they are
    // bytes_ themselves and saved_ stays empty: a file opened only to be looked at is held
    // once.
    std::string saved_;
    bool savedIsBytes_ = true;
    std::vector<Step> steps_;
    std::size_t done_ = 0; // steps_[0, done_) are applied
    bool unsaved_ = false;
};

} // namespace veltrano::voice
