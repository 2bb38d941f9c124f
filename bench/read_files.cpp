// The floor for reading many files: every file named on the command line (or, one a line,
// on standard input with "-") read whole into one reused buffer, with one open, one fstat,
// reads and one close each. Prints the bytes read.
//
//   read_files FILE... | read_files -
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

namespace {

std::size_t capacity = 0;
std::unique_ptr<char[]> buffer;

long long ReadOne(const char* path) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    long long total = -1;
    if (fstat(fd, &st) == 0) {
        const auto size = static_cast<std::size_t>(st.st_size);
        if (size > capacity) {
            buffer.reset(new char[size]); // no zero fill
            capacity = size;
        }
        total = 0;
        for (ssize_t n;
             static_cast<std::size_t>(total) < size &&
             (n = read(fd, buffer.get() + total, size - static_cast<std::size_t>(total))) > 0;)
            total += n;
    }
    close(fd);
    return total;
}

} // namespace

int main(int argc, char** argv) {
    long long bytes = 0;
    int failed = 0;
    auto one = [&](const char* path) {
        const long long n = ReadOne(path);
        if (n < 0)
            ++failed;
        else
            bytes += n;
    };
    if (argc == 2 && std::string(argv[1]) == "-") {
        for (std::string line; std::getline(std::cin, line);)
            one(line.c_str());
    } else {
        for (int i = 1; i < argc; ++i)
            one(argv[i]);
    }
    std::printf("%lld\n", bytes);
    return failed == 0 ? 0 : 1;
}
