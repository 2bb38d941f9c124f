// Command 515: the voice name report, a text file in the user's documents folder listing
// the voices of every file found, with per-file counts and a total.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "shell/Program.h"
#include "textfile/SafeWrite.h"

namespace veltrano {

namespace {

// A name compared as the synthesizer pads it: trailing blanks and zero bytes do not count.
bool IsSkipName(std::string_view name, std::string_view skip) {
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.remove_suffix(1);
    return name == skip;
}

std::string Total6(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%6d", n);
    return buf;
}

} // namespace

void Program::VoiceNameReport() {
    const std::string answer =
        InputText("Give a name for the file to save it and click OK..", "FILE NAME NEEDED ...", "");
    if (answer.empty() || lib.fileList.empty()) return;
    // The report must lie in the documents folder: a name that names a folder is refused.
    if (answer.find('/') != std::string::npos || answer.find('\\') != std::string::npos ||
        answer.find("..") != std::string::npos || answer.find('\0') != std::string::npos) {
        Message("FILE NAME NEEDED ...",
                "\"" + answer + "\" is not a plain file name.\r\nGive a name without folders, \"/\", \"\\\" or \"..\".",
                platform::Icon::Exclamation);
        return;
    }
    std::string path = form_.DocumentsFolder();
    if (!path.empty() && path.back() != textfile::kPathSep) path += textfile::kPathSep;
    path += answer + ".txt";
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        if (form_.MessageBox(textfile::FileNameOfPath(path) + " already exists.\r\nDo you want to replace it?",
                             "FILE EXISTS ...", platform::Icon::Question,
                             platform::Buttons::YesNo) != platform::Answer::Yes)
            return;
    }
    WriteVoiceNameReport(path);
}

void Program::WriteVoiceNameReport(const std::string& path) {
    const auto layout = LayoutInForce();
    std::string out;
    int total = 0;
    // Each file is read into a library of the report's own, so the loaded voice file and the
    // changes made to it stay exactly as they are.
    textfile::TextLibrary reader;
    reader.fileList = lib.fileList;
    for (int f = 1; f <= reader.FileCount(); ++f) {
        const std::string& file = reader.fileList[static_cast<std::size_t>(f - 1)];
        std::error_code ec;
        bool read = false;
        reader.ClearRecord();
        if (!std::filesystem::exists(file, ec)) {
            Show(textfile::OpenFileProblem(
                std::make_error_code(std::errc::no_such_file_or_directory).message(), file));
        } else {
            Notices notices;
            read = reader.LoadFileIntoRecord(f, notices);
            Show(notices);
        }
        const std::string_view text = read && reader.record.buffer ? std::string_view(*reader.record.buffer)
                                                                   : std::string_view();
        int perFile = 0;
        if (!text.empty()) {
            const std::string name = textfile::FileNameOfPath(file);
            out += name + "\r\n" + std::string(name.size(), '-') + "\r\n";
            if (layout) {
                const char* skip = voice::Info(*layout).skipName;
                int position = 0;
                voice::EnumerateVoices(text, *layout, [&](const voice::Voice& v) {
                    ++position;
                    if (IsSkipName(v.name, skip)) return true;
                    const int number = *layout == voice::VoiceLayout::An1 ? position : v.number;
                    out += voice::VoiceLine(number, v.category, v.name) + "\r\n";
                    ++perFile;
                    ++total;
                    return true;
                });
            }
        }
        out += "\r\n= " + std::to_string(perFile) + " =\r\n\r\n";
    }
    out += "Total number of voicenames (InitNormal voices are excluded) : " + Total6(total) + "\r\n";
    if (const auto error = textfile::WriteFileReplacing(path, out))
        Message("WRITE FILE PROBLEMS ...", *error + "\r\n" + path, platform::Icon::Exclamation);
}

} // namespace veltrano
