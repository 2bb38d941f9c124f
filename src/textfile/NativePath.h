#pragma once
// Paths between the program's single-byte text and the file system. On Windows the program's
// bytes are the ANSI code page: a path is widened from it for the file system, and a name
// read from the file system is narrowed strictly (nothing when the code page cannot hold
// it: Windows would put '?' or a look-alike letter, which names another file or none). The
// C library's narrow calls take the path as it is. Elsewhere the bytes are the path.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace veltrano::textfile {

std::filesystem::path NativePath(const std::string& path);
std::optional<std::string> ProgramText(const std::filesystem::path& path);

// Windows opens paths of at most this many characters for this program (MAX_PATH less the
// final zero); nothing longer reaches the file system there.
inline constexpr std::size_t kMaxWindowsPath = 259;

// The program's command-line arguments after its name, as program text. On Windows they are
// read as wide text and narrowed strictly: an argument the code page cannot hold exactly is
// refused (nothing, with error naming it), since the look-alike a narrow argv would hold can
// name another file. Elsewhere they are argv as it is.
std::optional<std::vector<std::string>> CommandLineArguments(int argc, char** argv,
                                                             std::string& error);

// Why the system cannot take the path, in words; empty when it can (always elsewhere).
std::string PathLimitError(const std::string& path);

} // namespace veltrano::textfile
