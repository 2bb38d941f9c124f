#include "voice/VoiceBank.h"

#include <algorithm>

namespace veltrano::voice {

Patch MatrixPatch(VoiceLayout layout, int k, const ControlMatrix& m) {
    const auto at = VoiceOffset(layout, k, VoiceField::Matrix);
    if (!at) return {};
    return {*at, std::string(m.begin(), m.end())};
}

Patch CategoryPatch(VoiceLayout layout, int k, std::uint8_t category) {
    const auto at = VoiceOffset(layout, k, VoiceField::Category);
    if (!at) return {};
    return {*at, std::string(1, static_cast<char>(category))};
}

void VoiceBank::Load(std::string path, std::string bytes) {
    loaded_ = true;
    path_ = std::move(path);
    bytes_ = std::move(bytes);
    saved_ = std::string();
    savedIsBytes_ = true;
    steps_.clear();
    done_ = 0;
    unsaved_ = false;
}

void VoiceBank::Unload() {
    *this = VoiceBank{};
}

std::size_t VoiceBank::Apply(const EditBatch& batch) {
    Step step;
    std::size_t written = 0;
    for (const Patch& p : batch) {
        if (p.offset >= bytes_.size() || p.bytes.empty()) continue;
        const std::size_t count = std::min(p.bytes.size(), bytes_.size() - p.offset);
        written += count;
        const std::string_view after(p.bytes.data(), count);
        if (std::string_view(bytes_).substr(p.offset, count) == after) continue;
        step.push_back({p.offset, bytes_.substr(p.offset, count), std::string(after)});
        KeepSaved();
        std::copy(after.begin(), after.end(),
                  bytes_.begin() + static_cast<std::ptrdiff_t>(p.offset));
    }
    if (!step.empty()) {
        steps_.resize(done_); // a new step ends what could be redone
        steps_.push_back(std::move(step));
        done_ = steps_.size();
        UpdateUnsaved();
    }
    return written;
}

void VoiceBank::Put(const Step& step, bool forward) {
    KeepSaved();
    // Backwards in reverse order, so that overlapping patches of one step come out right.
    const auto put = [this](const Change& c, const std::string& bytes) {
        std::copy(bytes.begin(), bytes.end(),
                  bytes_.begin() + static_cast<std::ptrdiff_t>(c.offset));
    };
    if (forward) {
        for (const Change& c : step)
            put(c, c.after);
    } else {
        for (auto it = step.rbegin(); it != step.rend(); ++it)
            put(*it, it->before);
    }
    UpdateUnsaved();
}

bool VoiceBank::Undo() {
    if (!CanUndo()) return false;
    --done_;
    Put(steps_[done_], false);
    return true;
}

bool VoiceBank::Redo() {
    if (!CanRedo()) return false;
    Put(steps_[done_], true);
    ++done_;
    return true;
}

void VoiceBank::MarkSaved(std::string path) {
    path_ = std::move(path);
    saved_ = std::string();
    savedIsBytes_ = true;
    unsaved_ = false;
}

void VoiceBank::KeepSaved() {
    if (!savedIsBytes_) return;
    saved_ = bytes_;
    savedIsBytes_ = false;
}

void VoiceBank::UpdateUnsaved() {
    unsaved_ = !savedIsBytes_ && bytes_ != saved_;
}

} // namespace veltrano::voice
