// Paths on Windows: names in the ANSI code page reach the right file, names it cannot hold
// and paths longer than Windows allows are named as such instead of failing as missing.
#include <gtest/gtest.h>

#ifdef _WIN32

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "textfile/BoundedRead.h"
#include "textfile/FileFinder.h"
#include "textfile/SafeWrite.h"
#include "textfile/TextLibrary.h"

namespace fs = std::filesystem;
using namespace veltrano;
using namespace veltrano::textfile;

namespace {

class WindowsPaths : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 1252u); // the code page of Wine and of Western Windows
        dir_ =
            fs::temp_directory_path() / ("veltrano_paths_" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ansiDir_ = dir_.string(); // ASCII only
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void Touch(const std::wstring& name) {
        std::ofstream(dir_ / name, std::ios::binary) << "x";
        ASSERT_TRUE(fs::exists(dir_ / name));
    }
    fs::path dir_;
    std::string ansiDir_;
};

TEST_F(WindowsPaths, ScanFindsCodePageNamesAndNamesTheOthers) {
    Touch(L"Caf\u00e9.an1");
    Touch(L"\u0141\u00f3d\u017a.an1"); // no byte of its own in 1252: a look-alike "Lodz" would lie
    TextLibrary lib;
    Notices notices;
    ASSERT_EQ(FindFiles(lib, ansiDir_, "*.an1", notices), 1);
    EXPECT_EQ(lib.fileList[0], ansiDir_ + "\\Caf\xe9.an1");
    // The found file opens: the bytes name the file the scan saw.
    BoundedFile file;
    EXPECT_EQ(BoundedFile::Open(lib.fileList[0], 100, file).status, ReadStatus::Read);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].text.find("code page"), std::string::npos) << notices[0].text;
}

TEST_F(WindowsPaths, TooLongPathsAreRefusedWithTheLimit) {
    const std::string longPath = ansiDir_ + "\\" + std::string(300 - ansiDir_.size(), 'a') + ".mtx";
    BoundedFile file;
    const ReadOutcome r = BoundedFile::Open(longPath, 100, file);
    EXPECT_EQ(r.status, ReadStatus::Failed);
    EXPECT_NE(r.error.find("259"), std::string::npos) << r.error;
    const auto error = WriteFileReplacing(longPath, "bytes");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("259"), std::string::npos) << *error;
}

TEST_F(WindowsPaths, SavesUnderTheCodePageName) {
    ASSERT_FALSE(WriteFileReplacing(ansiDir_ + "\\R\xe9sum\xe9.mtx", "bytes").has_value());
    EXPECT_TRUE(fs::exists(dir_ / L"R\u00e9sum\u00e9.mtx"));
}

} // namespace

#endif
