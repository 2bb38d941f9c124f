#pragma once
// Text at the border between the program and wxWidgets. Inside the program text is
// single-byte Windows-1252; wxString holds Unicode. Every byte has its own character, so a
// round trip gives back the same bytes, 0 included (shown as U+2400, the symbol for NUL).
// Paths are different: the model hands them to the file system unchanged, so they travel in
// the file system's encoding (UTF-8 here), not in Windows-1252.
#include <string>

#include <wx/string.h>

namespace veltrano::platform::wx {

// The character of one Windows-1252 byte. The five bytes Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 control characters of the same number.
wchar_t CharOfByte(unsigned char byte);
// The byte of a character; '?' for a character Windows-1252 does not have.
char ByteOfChar(wchar_t ch);

wxString ToWx(const std::string& bytes);
std::string FromWx(const wxString& text);

// For drawing: control characters become their visible symbols (U+2400 + code), so that a
// voice name holding a line feed or a tab still draws on one line.
wxString Printable(const wxString& text);

// Message texts use CR LF or a lone CR as line breaks; a dialog wants LF.
wxString MessageText(const std::string& bytes);

// Paths: file-system bytes (UTF-8; bytes that are not UTF-8 survive the round trip).
wxString PathToWx(const std::string& bytes);
std::string PathFromWx(const wxString& path);

} // namespace veltrano::platform::wx
