// The floor for writing a library of banks: every file named on the command line read whole
// (one open, one fstat, reads, one close, into one reused buffer), then its backup and its
// new bytes written through the program's own safe writer (temporary file and rename), with
// one byte of each voice matrix changed. The file work of `veltrano-cli set-matrix --write`,
// without its rules. Prints the files written.
//
//   write_files FILE...
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "textfile/Backup.h"
#include "textfile/SafeWrite.h"

namespace {

bool ReadOne(const char* path, std::string& into) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool whole = false;
    if (fstat(fd, &st) == 0) {
        const auto size = static_cast<std::size_t>(st.st_size);
        into.resize(size);
        std::size_t total = 0;
        for (ssize_t n; total < size && (n = read(fd, into.data() + total, size - total)) > 0;)
            total += static_cast<std::size_t>(n);
        whole = total == size;
    }
    close(fd);
    return whole;
}

} // namespace

int main(int argc, char** argv) {
    std::string bytes;
    int written = 0, failed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string path = argv[i];
        if (!ReadOne(argv[i], bytes) ||
            veltrano::textfile::WriteFileReplacing(veltrano::textfile::BackupPath(path), bytes)) {
            ++failed;
            continue;
        }
        // The first matrix byte of each .an1 voice, so that the bytes are new each run.
        for (std::size_t at = 9014 + 940; at < bytes.size(); at += 1104)
            bytes[at] = static_cast<char>(bytes[at] + 1);
        if (veltrano::textfile::WriteFileReplacing(path, bytes))
            ++failed;
        else
            ++written;
    }
    std::printf("%d\n", written);
    return failed == 0 ? 0 : 1;
}
