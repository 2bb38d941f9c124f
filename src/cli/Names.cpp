// veltrano-cli names: the three name lists in use, each name with where it comes from.
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/Text.h"

namespace veltrano::cli {

int Names(const Options& o, const std::string& programFolder, std::ostream& out,
          std::ostream& err) {
    if (!o.operands.empty()) throw UsageError{"names takes no operands"};
    const auto book = LoadNameBook(o, programFolder, err);
    if (!book) return kFailed;
    static const char* const kLists[] = {"controllers", "parameters", "depths"};
    if (o.json) {
        out << "{\"user_file\":"
            << (book->fromUser ? JsonString(Utf8(book->userPath)) : std::string("null"));
        for (int c = 0; c < textfile::NameLists::kColumns; ++c) {
            out << ",\"" << kLists[c] << "\":[";
            for (std::size_t v = 0; v < book->names[c].size(); ++v)
                out << (v ? "," : "") << "{\"value\":" << v
                    << ",\"name\":" << JsonString(Utf8(book->names[c][v])) << ",\"origin\":\""
                    << textfile::OriginWord(book->Origin(c, static_cast<int>(v))) << "\"}";
            out << "]";
        }
        out << "}\n";
        return kOk;
    }
    if (book->fromUser) out << "user file\t" << Utf8(book->userPath) << "\n";
    for (int c = 0; c < textfile::NameLists::kColumns; ++c) {
        out << kLists[c] << "\n";
        for (std::size_t v = 0; v < book->names[c].size(); ++v)
            out << v << '\t' << Utf8(book->names[c][v]) << '\t'
                << textfile::OriginWord(book->Origin(c, static_cast<int>(v))) << "\n";
    }
    return kOk;
}

} // namespace veltrano::cli
