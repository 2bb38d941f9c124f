#pragma once
// Text for the terminal and for CSV: voice bytes are Windows-1252 and come out as UTF-8.
#include <string>
#include <string_view>

namespace veltrano::cli {

// Windows-1252 to UTF-8. Control bytes (0 included) become the visible symbols U+2400 to
// U+241F and U+2421, so that no byte of a voice name can steer a terminal.
std::string Utf8(std::string_view bytes);
// The same appended to out.
void AppendUtf8(std::string& out, std::string_view bytes);

// The reverse of Utf8, for text given on the command line that is matched against voice
// bytes: valid UTF-8 whose characters all exist in Windows-1252 becomes those bytes. Other
// text (already Windows-1252, as Windows passes arguments) stays as it is.
std::string FromUtf8(std::string_view text);

// A voice name without its trailing blanks and zero bytes.
std::string_view TrimName(std::string_view name);

// One CSV field (RFC 4180): quoted when it holds a comma, a quote, CR or LF.
std::string CsvField(std::string_view text);

} // namespace veltrano::cli
