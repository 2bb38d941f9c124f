// The cost of durable saving: times the safe writer replacing a file of the given size with
// its flushes (the program's way) and without them (the baseline), the two sides alternating
// in one run, and prints min/median/max of each and the ratio of the medians.
//
//   save_timer BYTES RUNS FOLDER
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "textfile/SafeWrite.h"

using veltrano::textfile::Durability;

namespace {

double Seconds(const std::string& path, const std::string& bytes, Durability durability) {
    const auto t0 = std::chrono::steady_clock::now();
    if (const auto error = veltrano::textfile::WriteFileReplacing(path, bytes, durability)) {
        std::fprintf(stderr, "save_timer: %s: %s\n", path.c_str(), error->c_str());
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void Row(const char* label, std::vector<double>& t) {
    std::sort(t.begin(), t.end());
    std::printf("  %-28s min %9.4f  median %9.4f  max %9.4f ms\n", label, t.front() * 1e3,
                t[t.size() / 2] * 1e3, t.back() * 1e3);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: save_timer BYTES RUNS FOLDER\n");
        return 2;
    }
    const auto size = static_cast<std::size_t>(std::strtoull(argv[1], nullptr, 10));
    const int runs = std::atoi(argv[2]);
    const std::string path = std::string(argv[3]) + "/Bank.an1";
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 31 + 7);

    Seconds(path, bytes, Durability::Flushed); // untimed: the file exists from here on
    Seconds(path, bytes, Durability::Unflushed);
    std::vector<double> flushed, unflushed;
    for (int r = 0; r < runs; ++r) {
        bytes[static_cast<std::size_t>(r) % size] ^= 1; // new bytes every time
        flushed.push_back(Seconds(path, bytes, Durability::Flushed));
        unflushed.push_back(Seconds(path, bytes, Durability::Unflushed));
    }
    std::printf("save of %zu bytes, %d runs each:\n", size, runs);
    Row("durable (fsync file+folder)", flushed);
    Row("without the flushes", unflushed);
    std::printf("  ratio of the medians         %.2f\n",
                flushed[flushed.size() / 2] / unflushed[unflushed.size() / 2]);
    return 0;
}
