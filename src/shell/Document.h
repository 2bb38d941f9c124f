#pragma once
// The open document: the text library (the file list of the last scan and the file record
// every read goes through) and the voice bank of the loaded voice file.
#include "textfile/TextLibrary.h"
#include "voice/VoiceBank.h"

namespace veltrano {

struct Document {
    textfile::TextLibrary lib; // file list, file record, block and line lists
    voice::VoiceBank bank;     // the loaded voice file; every voice byte changes through it
};

} // namespace veltrano
