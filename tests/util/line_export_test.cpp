#include "util/line_export.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace xuan5 {
namespace {

namespace fs = std::filesystem;

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "xuan5-export-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
        fs::create_directory(txt());
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }
    fs::path txt() const { return path_ / "txt"; }

  private:
    fs::path path_;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

LineTexts SampleBases() {
    LineTexts bases;
    for (int i = 0; i < kLineCount; ++i)
        bases[i] = "  01,02,03,04,0" + std::to_string(5 + i % 5) + " ";
    bases[4] = "";
    bases[7] = "01,02,03,04,05 01,02,03,04,06";
    return bases;
}

TEST(LineExport, WritesFifteenTrimmedFiles) {
    TempFolder folder;
    const LineExportResult r = ExportLineBases(SampleBases(), folder.path());
    EXPECT_EQ(r.filesWritten, 15);
    EXPECT_EQ(r.message, (Message{"导出完成，文件夹=\\data\\txt\\", "完成"}));
    EXPECT_EQ(ReadFile(folder.txt() / "dadi0.txt"), "01,02,03,04,05\r\n");
    EXPECT_EQ(ReadFile(folder.txt() / "dadi4.txt"), "\r\n");
    EXPECT_EQ(ReadFile(folder.txt() / "dadi7.txt"), "01,02,03,04,05 01,02,03,04,06\r\n");
    EXPECT_EQ(ReadFile(folder.txt() / "dadi14.txt"), "01,02,03,04,09\r\n");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.txt())) ++files;
    EXPECT_EQ(files, 15);  // no temporary file left behind
}

TEST(LineExport, SecondExportReplacesTheFiles) {
    TempFolder folder;
    LineTexts longer;
    longer.fill("01,02,03,04,05 01,02,03,04,06 01,02,03,04,07");
    ASSERT_EQ(ExportLineBases(longer, folder.path()).filesWritten, 15);
    LineTexts shorter;
    shorter.fill("07,08,09,10,11");
    ASSERT_EQ(ExportLineBases(shorter, folder.path()).filesWritten, 15);
    for (int i = 0; i < kLineCount; ++i) {
        EXPECT_EQ(ReadFile(folder.txt() / ("dadi" + std::to_string(i) + ".txt")),
                  "07,08,09,10,11\r\n");
    }
}

TEST(LineExport, MissingTxtFolderIsCreatedButNothingElse) {
    TempFolder folder;
    fs::create_directory(folder.path() / "fresh");
    const LineExportResult r = ExportLineBases(SampleBases(), folder.path() / "fresh");
    EXPECT_EQ(r.filesWritten, 15);
    EXPECT_EQ(r.message, (Message{"导出完成，文件夹=\\data\\txt\\", "完成"}));
    EXPECT_EQ(ReadFile(folder.path() / "fresh" / "txt" / "dadi14.txt"), "01,02,03,04,09\r\n");

    // A data folder that is gone is not rebuilt.
    const LineExportResult gone = ExportLineBases(SampleBases(), folder.path() / "gone");
    EXPECT_EQ(gone.filesWritten, 0);
    EXPECT_EQ(gone.message, (Message{"导出过程出现错误，请检查", "出错了"}));
    EXPECT_FALSE(fs::exists(folder.path() / "gone"));
    // Nor is an unset one taken to mean the working folder.
    EXPECT_EQ(ExportLineBases(SampleBases(), fs::path()).message, gone.message);
}

TEST(LineExport, FailureStopsAndKeepsEarlierFiles) {
    TempFolder folder;
    const Message failed{"导出过程出现错误，请检查", "出错了"};
    // A file stands where the txt folder belongs.
    fs::create_directory(folder.path() / "blocked");
    std::ofstream(folder.path() / "blocked" / "txt") << "not a folder";
    LineExportResult r = ExportLineBases(SampleBases(), folder.path() / "blocked");
    EXPECT_EQ(r.filesWritten, 0);
    EXPECT_EQ(r.message, failed);
    EXPECT_EQ(ReadFile(folder.path() / "blocked" / "txt"), "not a folder");

    // dadi3.txt cannot be replaced: files 0..2 stay written, nothing after it is.
    fs::create_directory(folder.txt() / "dadi3.txt");
    fs::create_directory(folder.txt() / "dadi3.txt" / "inner");
    r = ExportLineBases(SampleBases(), folder.path());
    EXPECT_EQ(r.filesWritten, 3);
    EXPECT_EQ(r.message, failed);
    EXPECT_EQ(ReadFile(folder.txt() / "dadi2.txt"), "01,02,03,04,07\r\n");
    EXPECT_FALSE(fs::exists(folder.txt() / "dadi4.txt"));
    EXPECT_FALSE(fs::exists(folder.txt() / "dadi3.txt.tmp"));
}

}  // namespace
}  // namespace xuan5
