#pragma once
// JSON text for scripts: strings quoted and escaped, always valid UTF-8.
#include <string>
#include <string_view>

namespace veltrano::cli {

// text as a JSON string: quoted; quote, backslash and control characters escaped; a byte
// that is not part of valid UTF-8 becomes U+FFFD. Voice names go through Utf8 first.
std::string JsonString(std::string_view text);

} // namespace veltrano::cli
