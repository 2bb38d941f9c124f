// Command 515: the voice name report, a text file in the user's documents folder listing
// the voices of every file found, with per-file counts and a total.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "shell/Program.h"
#include "textfile/SafeWrite.h"

namespace veltrano {

namespace {

// A name compared as the synthesizer pads it: trailing blanks and zero bytes do not count.
bool IsSkipName(std::string_view name, std::string_view skip) {
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0'))
        name.remove_suffix(1);
    return name == skip;
}

// Why a report name cannot be used, or nothing when it can.
std::optional<std::string> RefusedNameReason(std::string_view name) {
    if (name.find_first_not_of(' ') == std::string_view::npos)
        return "A name of blanks only is not a file name.\r\nGive a name with letters or digits.";
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            return "The name holds a control character (a tab, a line break or another byte below "
                   "32).\r\nGive a name without them.";
    }
    return std::nullopt;
}

// A name without folders: no separator, no "..", no zero byte (and no drive on Windows).
bool IsPlainFileName(std::string_view name) {
#ifdef _WIN32
    constexpr std::string_view kRefused("/\\:\0", 4);
#else
    constexpr std::string_view kRefused("/\\\0", 3);
#endif
    return name.find_first_of(kRefused) == std::string_view::npos &&
           name.find("..") == std::string_view::npos;
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
    if (const auto reason = RefusedNameReason(answer)) {
        Message("FILE NAME NEEDED ...", *reason, platform::Icon::Exclamation);
        return;
    }
    // The report must lie in the documents folder: a name that leads elsewhere is refused.
    if (!IsPlainFileName(answer)) {
        Message("FILE NAME NEEDED ...",
                "\"" + answer +
                    "\" is not a plain file name.\r\nGive a name without folders, \"/\", \"\\\" or "
                    "\"..\".",
                platform::Icon::Exclamation);
        return;
    }
    std::string path = form_.DocumentsFolder();
    if (!path.empty() && path.back() != textfile::kPathSep) path += textfile::kPathSep;
    path += answer + ".txt";
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        if (form_.MessageBox(textfile::FileNameOfPath(path) +
                                 " already exists.\r\nDo you want to replace it?",
                             "FILE EXISTS ...", platform::Icon::Question,
                             platform::Buttons::YesNo) != platform::Answer::Yes)
            return;
    }
    WriteVoiceNameReport(path);
}

void Program::WriteVoiceNameReport(const std::string& path) {
    const auto layout = LayoutInForce();
    // Each file is read into a library of the report's own, so the loaded voice file and the
    // changes made to it stay exactly as they are.
    textfile::TextLibrary reader;
    reader.fileList = lib.fileList;
    const int files = reader.FileCount();
    std::string out;
    // About 21 bytes a voice line, 128 lines and a header and footer a file; a long file list
    // grows the text as it goes rather than claiming it all at once.
    constexpr std::size_t kBytesPerFile = 2800, kMaxReserve = 16u << 20;
    out.reserve(std::min(static_cast<std::size_t>(files) * kBytesPerFile, kMaxReserve) + 128);
    int total = 0;
    NoticeFlood flood; // a folder of unreadable files gives a few messages and one summary
    for (int f = 1; f <= files; ++f) {
        const std::string& file = reader.fileList[static_cast<std::size_t>(f - 1)];
        reader.ClearRecord();
        Notices notices;
        const bool read = reader.LoadFileIntoRecord(f, notices);
        if (!read && notices.empty()) {
            // Nothing read and nothing said: the file is empty, or it has gone since the scan.
            std::error_code ec;
            if (!std::filesystem::exists(file, ec))
                notices.push_back(textfile::OpenFileProblem(
                    std::make_error_code(std::errc::no_such_file_or_directory).message(), file));
        }
        Show(flood.Admit(file, std::move(notices)));
        const std::string_view text = read && reader.record.buffer
                                          ? std::string_view(*reader.record.buffer)
                                          : std::string_view();
        int perFile = 0;
        if (!text.empty()) {
            const std::string name = textfile::FileNameOfPath(file);
            out += name;
            out += "\r\n";
            out.append(name.size(), '-');
            out += "\r\n";
            if (layout) {
                const char* skip = voice::Info(*layout).skipName;
                int position = 0;
                voice::EnumerateVoices(text, *layout, [&](const voice::Voice& v) {
                    ++position;
                    if (IsSkipName(v.name, skip)) return true;
                    const int number = *layout == voice::VoiceLayout::An1 ? position : v.number;
                    out += voice::VoiceLine(number, v.category, v.name);
                    out += "\r\n";
                    ++perFile;
                    ++total;
                    return true;
                });
            }
        }
        out += "\r\n= ";
        out += std::to_string(perFile);
        out += " =\r\n\r\n";
    }
    reader.ClearRecord();
    out += "Total number of voicenames (InitNormal voices are excluded) : ";
    out += Total6(total);
    out += "\r\n";
    if (const auto error = textfile::WriteFileReplacing(path, out)) {
        Message("WRITE FILE PROBLEMS ...", *error + "\r\n" + path, platform::Icon::Exclamation);
        return;
    }
    if (const auto summary =
            flood.Summary("VOICE NAME REPORT ...", "Each is in the report with a count of 0:"))
        Show(*summary);
}

} // namespace veltrano
