// Times the file finder alone against two plain walks of the same tree in one process: a
// readdir walk that lists names by the entry type the listing gives, and the same walk with
// a stat call per entry. The runs alternate; the figures are min/median/max in ms.
//
//   scan_timer DIR PATTERN [RUNS]
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "textfile/FileFinder.h"

namespace {

using veltrano::textfile::WildcardMatch;

// A depth-first walk by path; with `statEach`, one stat per entry decides its type.
void Walk(const std::string& dir, const std::string& pattern, bool statEach,
          std::vector<std::string>& out) {
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    std::vector<std::string> subdirs;
    while (const dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = dir + "/" + name;
        bool isDir = e->d_type == DT_DIR, isFile = e->d_type == DT_REG;
        if (statEach || e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st {};
            if (stat(path.c_str(), &st) != 0) continue;
            isDir = S_ISDIR(st.st_mode);
            isFile = S_ISREG(st.st_mode);
        }
        if (isDir)
            subdirs.push_back(path);
        else if (isFile && WildcardMatch(pattern, name))
            out.push_back(path);
    }
    closedir(d);
    for (const std::string& s : subdirs)
        Walk(s, pattern, statEach, out);
}

struct Series {
    const char* name;
    std::function<std::size_t()> run;
    std::vector<double> ms = {};
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: scan_timer DIR PATTERN [RUNS]\n");
        return 2;
    }
    const std::string dir = argv[1], pattern = argv[2];
    const int runs = argc == 4 ? std::max(1, std::atoi(argv[3])) : 15;
    std::vector<Series> series = {
        {"finder",
         [&] {
             veltrano::textfile::TextLibrary lib;
             veltrano::Notices notices;
             return static_cast<std::size_t>(
                 veltrano::textfile::FindFiles(lib, dir, pattern, notices));
         }},
        {"readdir walk",
         [&] {
             std::vector<std::string> out;
             Walk(dir, pattern, false, out);
             return out.size();
         }},
        {"readdir + stat walk",
         [&] {
             std::vector<std::string> out;
             Walk(dir, pattern, true, out);
             return out.size();
         }},
    };
    std::vector<std::size_t> found(series.size());
    for (std::size_t i = 0; i < series.size(); ++i)
        found[i] = series[i].run(); // warm the caches
    for (int r = 0; r < runs; ++r) {
        for (Series& s : series) {
            const auto t0 = std::chrono::steady_clock::now();
            s.run();
            s.ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                    .count());
        }
    }
    for (std::size_t i = 0; i < series.size(); ++i) {
        std::vector<double>& v = series[i].ms;
        std::sort(v.begin(), v.end());
        std::printf("%-20s %8.2f %8.2f %8.2f ms  (%zu files)\n", series[i].name, v.front(),
                    v[v.size() / 2], v.back(), found[i]);
    }
    return found[0] == found[1] && found[1] == found[2] ? 0 : 1;
}
