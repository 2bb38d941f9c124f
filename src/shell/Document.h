#pragma once
// The open document: the text library (the file list of the last scan and the file record
// every read goes through), the voice bank of the loaded voice file, and what the voice
// files held when last read or written.
#include "textfile/SavedFiles.h"
#include "textfile/TextLibrary.h"
#include "voice/VoiceBank.h"

namespace veltrano {

struct Document {
    textfile::TextLibrary lib;  // file list, file record, block and line lists
    voice::VoiceBank bank;      // the loaded voice file; every voice byte changes through it
    textfile::SavedFiles saved; // what each voice file held when read or written; backups
};

} // namespace veltrano
