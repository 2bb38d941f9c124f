#include "voice/NameReport.h"

#include <algorithm>
#include <cstdio>

#include "textfile/TextLibrary.h"
#include "voice/BankFile.h"

namespace veltrano::voice {

namespace {

// A name compared as the synthesizer pads it: trailing blanks and zero bytes do not count.
bool IsSkipName(std::string_view name, std::string_view skip) {
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0'))
        name.remove_suffix(1);
    return name == skip;
}

std::string Total6(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%6d", n);
    return buf;
}

} // namespace

NameReport MakeNameReport(const std::vector<std::string>& files,
                          std::optional<VoiceLayout> layout) {
    NameReport report;
    // Each file is read into a library of the report's own, so a file loaded elsewhere and
    // the changes made to it stay exactly as they are.
    textfile::TextLibrary reader;
    reader.fileList = files;
    const int count = reader.FileCount();
    std::string& out = report.text;
    // About 21 bytes a voice line, 128 lines and a header and footer a file; a long file list
    // grows the text as it goes rather than claiming it all at once.
    constexpr std::size_t kBytesPerFile = 2800, kMaxReserve = 16u << 20;
    out.reserve(std::min(static_cast<std::size_t>(count) * kBytesPerFile, kMaxReserve) + 128);
    int total = 0;
    for (int f = 1; f <= count; ++f) {
        const std::string& file = reader.fileList[static_cast<std::size_t>(f - 1)];
        reader.ClearRecord();
        Notices notices;
        const bool read = ReadBankFile(reader, f, notices) == BankRead::Read;
        report.notices.insert(report.notices.end(), notices.begin(), notices.end());
        const std::string_view text =
            read ? std::string_view(*reader.record.buffer) : std::string_view();
        int perFile = 0;
        if (!text.empty()) {
            const std::string name = textfile::FileNameOfPath(file);
            out += name;
            out += "\r\n";
            out.append(name.size(), '-');
            out += "\r\n";
            if (layout) {
                const char* skip = Info(*layout).skipName;
                int position = 0;
                EnumerateVoiceHeads(text, *layout, [&](const VoiceHead& v) {
                    ++position;
                    if (IsSkipName(v.name, skip)) return true;
                    // An1 voices are numbered by position from 1 here, unlike the voice list.
                    const int number = *layout == VoiceLayout::An1 ? position : v.number;
                    AppendVoiceLine(out, number, v.category, v.name);
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
    return report;
}

} // namespace veltrano::voice
