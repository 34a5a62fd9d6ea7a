#include "store/line_export.h"

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

// The message the export leaves for the user, whichever way it went.
Message Said(const Result<Message>& r) {
    return r ? *r : r.messages().front();
}

// How many of dadi0.txt .. dadi14.txt are in a txt folder.
int ExportedFiles(const fs::path& txt) {
    int files = 0;
    for (int i = 0; i < kLineCount; ++i)
        files += fs::is_regular_file(txt / ("dadi" + std::to_string(i) + ".txt")) ? 1 : 0;
    return files;
}

TEST(LineExport, WritesFifteenTrimmedFiles) {
    TempFolder folder;
    const Result<Message> r = ExportLineBases(SampleBases(), folder.path());
    EXPECT_EQ(ExportedFiles(folder.txt()), 15);
    EXPECT_EQ(Said(r), (Message{"导出完成，文件夹=" + folder.txt().string() + "/", "完成",
                                Message::Kind::Notice}));
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
    ASSERT_TRUE(ExportLineBases(longer, folder.path()));
    LineTexts shorter;
    shorter.fill("07,08,09,10,11");
    ASSERT_TRUE(ExportLineBases(shorter, folder.path()));
    for (int i = 0; i < kLineCount; ++i) {
        EXPECT_EQ(ReadFile(folder.txt() / ("dadi" + std::to_string(i) + ".txt")),
                  "07,08,09,10,11\r\n");
    }
}

TEST(LineExport, MissingTxtFolderIsCreatedButNothingElse) {
    TempFolder folder;
    fs::create_directory(folder.path() / "fresh");
    const Result<Message> r = ExportLineBases(SampleBases(), folder.path() / "fresh");
    EXPECT_EQ(ExportedFiles(folder.path() / "fresh" / "txt"), 15);
    EXPECT_EQ(Said(r),
              (Message{"导出完成，文件夹=" + (folder.path() / "fresh" / "txt").string() + "/",
                       "完成", Message::Kind::Notice}));
    EXPECT_EQ(ReadFile(folder.path() / "fresh" / "txt" / "dadi14.txt"), "01,02,03,04,09\r\n");

    // A data folder that is gone is not rebuilt.
    const Result<Message> gone = ExportLineBases(SampleBases(), folder.path() / "gone");
    EXPECT_FALSE(gone);
    EXPECT_EQ(Said(gone), (Message{"导出过程出现错误，请检查", "出错了", Message::Kind::Io}));
    EXPECT_FALSE(fs::exists(folder.path() / "gone"));
    // Nor is an unset one taken to mean the working folder.
    EXPECT_EQ(Said(ExportLineBases(SampleBases(), fs::path())), Said(gone));
}

TEST(LineExport, FailureStopsAndKeepsEarlierFiles) {
    TempFolder folder;
    const Message failed{"导出过程出现错误，请检查", "出错了", Message::Kind::Io};
    // A file stands where the txt folder belongs.
    fs::create_directory(folder.path() / "blocked");
    std::ofstream(folder.path() / "blocked" / "txt") << "not a folder";
    Result<Message> r = ExportLineBases(SampleBases(), folder.path() / "blocked");
    EXPECT_FALSE(r);
    EXPECT_EQ(Said(r), failed);
    EXPECT_EQ(ReadFile(folder.path() / "blocked" / "txt"), "not a folder");

    // dadi3.txt cannot be replaced: files 0..2 stay written, nothing after it is.
    fs::create_directory(folder.txt() / "dadi3.txt");
    fs::create_directory(folder.txt() / "dadi3.txt" / "inner");
    r = ExportLineBases(SampleBases(), folder.path());
    EXPECT_EQ(ExportedFiles(folder.txt()), 3);
    EXPECT_EQ(Said(r), failed);
    EXPECT_EQ(ReadFile(folder.txt() / "dadi2.txt"), "01,02,03,04,07\r\n");
    EXPECT_FALSE(fs::exists(folder.txt() / "dadi4.txt"));
    EXPECT_FALSE(fs::exists(folder.txt() / "dadi3.txt.tmp"));
}

}  // namespace
}  // namespace xuan5
