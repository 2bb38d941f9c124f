#include "textfile/FileIdentity.h"

#include "textfile/NativePath.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace veltrano::textfile {

namespace {

constexpr const char* kLink = "it is a symbolic link, and a file of Veltrano's own is never "
                              "written through one";
constexpr const char* kFolder = "a folder has that name";
constexpr const char* kSpecial = "it is not a regular file";

std::string HardLinkText(std::uint64_t names) {
    return "it is one of " + std::to_string(names) +
           " names of one file (a hard link), and writing it would change another file";
}

} // namespace

#ifdef _WIN32

namespace {

// The file's information through a handle opened for its attributes only; links followed
// unless openLink.
bool InformationOf(const std::string& path, bool openLink, BY_HANDLE_FILE_INFORMATION& info) {
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS; // folders open too
    if (openLink) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    const HANDLE h = CreateFileW(NativePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    return ok;
}

} // namespace

std::optional<FileId> IdentityOf(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!InformationOf(path, false, info)) return std::nullopt;
    return FileId{info.dwVolumeSerialNumber,
                  (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::optional<std::string> NotAPlainFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(NativePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::nullopt;
        return std::system_category().message(static_cast<int>(error));
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return std::string("it is a symbolic link or a junction, and a file of Veltrano's own "
                           "is never written through one");
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return std::string(kFolder);
    BY_HANDLE_FILE_INFORMATION info{};
    if (InformationOf(path, true, info) && info.nNumberOfLinks > 1)
        return HardLinkText(info.nNumberOfLinks);
    return std::nullopt;
}

#else

std::optional<FileId> IdentityOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::optional<std::string> NotAPlainFile(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return std::nullopt; // no such name (or none to see)
    if (S_ISLNK(st.st_mode)) return std::string(kLink);
    if (S_ISDIR(st.st_mode)) return std::string(kFolder);
    if (!S_ISREG(st.st_mode)) return std::string(kSpecial);
    if (st.st_nlink > 1) return HardLinkText(static_cast<std::uint64_t>(st.st_nlink));
    return std::nullopt;
}

#endif

} // namespace veltrano::textfile
