#include "platform/wx/Text.h"

#include <array>

#include <wx/strconv.h>

namespace veltrano::platform::wx {

namespace {

constexpr wchar_t kNulSymbol = 0x2400;

// Windows-1252 bytes 0x80 to 0x9F.
constexpr std::array<wchar_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

wxMBConv& PathConv() {
    // Invalid UTF-8 maps to private-use characters and back, so no path is lost.
    static wxMBConvUTF8 conv(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
    return conv;
}

} // namespace

wchar_t CharOfByte(unsigned char byte) {
    if (byte == 0) return kNulSymbol;
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return static_cast<wchar_t>(byte);
}

char ByteOfChar(wchar_t ch) {
    if (ch == kNulSymbol) return '\0';
    if (ch < 0x80 && ch != 0) return static_cast<char>(ch);
    if (ch >= 0xA0 && ch <= 0xFF) return static_cast<char>(static_cast<unsigned char>(ch));
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == ch) return static_cast<char>(static_cast<unsigned char>(0x80 + i));
    return '?';
}

wxString ToWx(const std::string& bytes) {
    std::wstring w;
    w.reserve(bytes.size());
    for (char c : bytes)
        w.push_back(CharOfByte(static_cast<unsigned char>(c)));
    return wxString(w);
}

std::string FromWx(const wxString& text) {
    const std::wstring w = text.ToStdWstring();
    std::string out;
    out.reserve(w.size());
    for (wchar_t c : w)
        out.push_back(ByteOfChar(c));
    return out;
}

wxString Printable(const wxString& text) {
    std::wstring w = text.ToStdWstring();
    for (wchar_t& c : w)
        if (c < 0x20 || c == 0x7F) c = static_cast<wchar_t>(c == 0x7F ? 0x2421 : kNulSymbol + c);
    return wxString(w);
}

wxString MessageText(const std::string& bytes) {
    std::string s;
    s.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            s.push_back('\n');
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            s.push_back(bytes[i]);
        }
    }
    return ToWx(s);
}

wxString PathToWx(const std::string& bytes) {
    if (bytes.empty()) return wxString();
    return wxString(bytes.data(), PathConv(), bytes.size());
}

std::string PathFromWx(const wxString& path) {
    if (path.empty()) return std::string();
    const wxCharBuffer buf = path.mb_str(PathConv());
    return std::string(buf.data(), buf.length());
}

} // namespace veltrano::platform::wx
