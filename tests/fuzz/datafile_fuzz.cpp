// The data file Veltrano.txt as any editor may leave it: read through the text library
// (blocks, sections, lines), as veltrano-cli reads its name tables, and as the start-up
// loads the name lists into the matrix panel's boxes on the headless backend.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Scratch.h"
#include "platform/headless/HeadlessForm.h"
#include "shell/MainWindow.h"
#include "shell/Program.h"
#include "textfile/DataTables.h"
#include "textfile/Sections.h"
#include "textfile/TextLibrary.h"
#include "textfile/UserNames.h"

using namespace veltrano;

namespace {

std::string Join(const std::vector<std::string>& pieces, std::string_view sep) {
    std::string out;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i) out += sep;
        out += pieces[i];
    }
    return out;
}

void TextLibraryKeepsEveryByte(const std::string& path, std::string_view bytes) {
    textfile::TextLibrary lib;
    lib.fileList = {path};
    Notices notices;
    const int blocks = lib.LoadBlocks(1, notices);
    if (bytes.empty()) {
        FUZZ_CHECK(blocks == 0);
        return;
    }
    // The blocks and their lines are the text cut at its empty lines and line ends: put
    // together again they give the text with every line end as CR LF.
    const std::string crlf = textfile::WithCrLf(bytes);
    FUZZ_CHECK(blocks == static_cast<int>(lib.blockList.size()));
    FUZZ_CHECK(Join(lib.blockList, "\r\n\r\n") == crlf);
    for (int b = 1; b <= blocks; ++b) {
        FUZZ_CHECK(lib.GetBlockLines(b, std::nullopt) >= 1);
        FUZZ_CHECK(Join(lib.lineList, "\r\n") == lib.blockList[static_cast<std::size_t>(b - 1)]);
    }
    for (const char* key :
         {textfile::kControllersKey, textfile::kParametersKey, textfile::kDepthKey}) {
        if (auto section = textfile::ReadSection(lib, key)) {
            FUZZ_CHECK(section->block == lib.FindBlock(key));
            FUZZ_CHECK(!section->entries.empty());
        }
    }
}

// The start-up's part that reads the data file: the boxes hold at most one entry per value
// a slot byte can take, and each shows an item it holds or none.
void StartUpLoadsTheLists() {
    platform::headless::HeadlessForm form;
    form.programFolder = fuzz::ScratchDir();
    Program program(form);
    program.document().LocateDataFile();
    program.document().PrepareFileBuffer();
    CreateMainWindow(form);
    program.panel().LoadTables(1);
    program.document().ReleaseFileBuffer();
    for (int first : {ctl::kCtrlBox, ctl::kParamBox, ctl::kDepthBox}) {
        for (int r = 0; r < voice::kSlots; ++r) {
            const platform::ControlRef box{platform::Array::cmb, first + r};
            const int count = form.ComboCount(box);
            FUZZ_CHECK(count >= 0 && count <= textfile::kMaxTableEntries);
            const int current = form.ComboCurSel(box);
            FUZZ_CHECK(current >= -1 && current < count);
        }
    }
}

// The bytes as the user's names file over a small shipped file: either the user's file is
// used, every list at least as long as the shipped one and written back with the same names,
// or the shipped names stay with one notice and the user's file keeps its bytes.
void UserFileOverTheShippedOne(const std::string& userPath, std::string_view bytes) {
    static const std::string shipped = fuzz::ScratchFile(
        "Shipped.txt", "free\r\n\r\n[CONTROLLERS]\r\n0;off\r\n1;CC 1\r\n\r\n[PARAMETERS]\r\n"
                       "0;off\r\n1;Param 1 ?\r\n\r\n[DEPTH]\r\n0;Dirct\r\n1;-63\r\n\r\nend");
    Notices notices;
    const textfile::NameBook book = textfile::ReadNameBook(shipped, userPath, notices);
    if (!book.fromUser) {
        FUZZ_CHECK(notices.size() <= 1);
        Notices again;
        FUZZ_CHECK(bytes.empty() || textfile::ReadWholeFile(userPath, again) == bytes);
        return;
    }
    FUZZ_CHECK(notices.empty());
    const std::string written = fuzz::ScratchFile("Written.txt", textfile::UserFileText(book));
    const textfile::NameBook back = textfile::ReadNameBook(shipped, written, notices);
    FUZZ_CHECK(back.fromUser);
    for (int c = 0; c < textfile::NameLists::kColumns; ++c) {
        FUZZ_CHECK(book.names[c].size() >= book.shipped.columns[c].size());
        FUZZ_CHECK(book.names[c].size() <= static_cast<std::size_t>(textfile::kMaxTableEntries));
        for (std::size_t v = 0; v < book.shipped.columns[c].size(); ++v)
            FUZZ_CHECK(back.names[c][v] == book.names[c][v]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzz::ScratchFile("Veltrano.txt", bytes);
    TextLibraryKeepsEveryByte(path, bytes);
    Notices notices;
    textfile::ReadNameTables(path, notices);
    StartUpLoadsTheLists();
    UserFileOverTheShippedOne(path, bytes);
    return 0;
}
