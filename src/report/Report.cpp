// Command 515: the voice name report, a text file in the user's documents folder listing
// the voices of every file found, with per-file counts and a total.
#include "report/Report.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "textfile/SafeWrite.h"
#include "voice/NameReport.h"

namespace veltrano {

namespace {

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

} // namespace

void Report::Ask() {
    const std::string answer = messages_.InputText(
        "Give a name for the file to save it and click OK..", "FILE NAME NEEDED ...", "");
    if (answer.empty() || document_.lib().fileList.empty()) return;
    if (const auto reason = RefusedNameReason(answer)) {
        messages_.Message("FILE NAME NEEDED ...", *reason, platform::Icon::Exclamation);
        return;
    }
    // The report must lie in the documents folder: a name that leads elsewhere is refused.
    if (!IsPlainFileName(answer)) {
        messages_.Message(
            "FILE NAME NEEDED ...",
            "\"" + answer +
                "\" is not a plain file name.\r\nGive a name without folders, \"/\", \"\\\" or "
                "\"..\".",
            platform::Icon::Exclamation);
        return;
    }
    const std::string path = textfile::JoinPath(form_.DocumentsFolder(), answer + ".txt");
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        if (!messages_.AskYesNo("FILE EXISTS ...",
                                textfile::FileNameOfPath(path) +
                                    " already exists.\r\nDo you want to replace it?"))
            return;
    }
    Write(path);
}

void Report::Write(const std::string& path) {
    // The report reads every file itself, so the loaded voice file and its changes stay.
    const voice::NameReport report =
        voice::MakeNameReport(document_.lib().fileList, document_.Layout());
    // A folder of unreadable files gives a few messages and one summary, not one box a file.
    // Each notice ends in the path of its file.
    NoticeFlood flood;
    for (const Notice& notice : report.notices) {
        const std::size_t cut = notice.text.rfind("\r\n");
        const std::string item =
            cut == std::string::npos ? notice.text : notice.text.substr(cut + 2);
        messages_.Show(flood.Admit(item, Notices{notice}));
    }
    if (const auto error = textfile::WriteFileReplacing(path, report.text)) {
        messages_.Message("WRITE FILE PROBLEMS ...", *error + "\r\n" + path,
                          platform::Icon::Exclamation);
        return;
    }
    if (const auto summary =
            flood.Summary("VOICE NAME REPORT ...", "Each is in the report with a count of 0:"))
        messages_.Show(*summary);
    // The documents folder differs between systems (or is the home folder): say where it is.
    messages_.Message("VOICE NAME REPORT ...", "The voice name report is written to:\r\n" + path,
                      platform::Icon::Information);
}

} // namespace veltrano
