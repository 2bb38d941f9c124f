#pragma once
// Writing a whole file so that a failure never leaves it half-written: the bytes go to a
// temporary file beside the target, which is then renamed over it. A symbolic link is
// written through: the file it points to is replaced and the link stays.
#include <optional>
#include <string>
#include <string_view>

namespace veltrano::textfile {

// Returns the system's description of the error on failure; the target is then unchanged.
std::optional<std::string> WriteFileReplacing(const std::string& path, std::string_view bytes);
// The same with a temporary file of the caller's choice (created exclusively).
std::optional<std::string> WriteFileReplacingVia(const std::string& path, const std::string& tempPath,
                                                 std::string_view bytes);

} // namespace veltrano::textfile
