#include "store/curve_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "curves/trend_line.h"

namespace xuan5 {
namespace {

namespace fs = std::filesystem;

class CurveStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("xuan5-store-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = CurveStorePath(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, ec);
        fs::remove_all(dir_, ec);
    }
    void Write(const std::string& bytes) { std::ofstream(file_, std::ios::binary) << bytes; }
    std::string Bytes() const {
        std::ifstream in(file_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Record i of the store as a plan run reads it; unset when the store is broken.
    std::optional<std::string> Record(int i) const {
        const Result<LineTexts> lines = ReadCurveStoreFile(file_);
        if (!lines) return std::nullopt;
        return (*lines)[i];
    }
    static std::string Lines(int count, const std::string& end = "") {
        std::string text;
        for (int k = 1; k <= count; ++k) text += "rec" + std::to_string(k) + "\r\n";
        return text + end;
    }
    fs::path dir_;
    fs::path file_;
};

TEST_F(CurveStoreTest, ReadsFifteenTrimmedRecordsWithOrWithoutMarker) {
    Write(Lines(15, "********\r\n"));
    EXPECT_EQ(Record(1), "rec2");
    EXPECT_EQ(Record(14), "rec15");

    Write("  1*2  \r\n" + Lines(14));  // no marker; spaces around a record
    EXPECT_EQ(Record(0), "1*2");
    EXPECT_EQ(Record(14), "rec14");
}

TEST_F(CurveStoreTest, MissingShortOrEmptyFilesAreBroken) {
    const Result<LineTexts> missing = ReadCurveStoreFile(file_);
    EXPECT_EQ(missing.messages(),
              (std::vector<Message>{{"目录\\data下缺少文件data.mdb，或是该文件遭到破坏,请检查原因",
                                     "提示", Message::Kind::Damaged}}));
    Write(Lines(14));
    EXPECT_FALSE(Record(1));
    Write("");
    EXPECT_FALSE(Record(1));
    Write("   ");
    EXPECT_FALSE(Record(1));
    fs::remove(file_);
    fs::create_directories(file_);  // a folder where the file should be
    EXPECT_FALSE(Record(1));
}

TEST_F(CurveStoreTest, ReadsGb18030Bytes) {
    // "线" in GB18030 is CF DF; the file is not valid UTF-8.
    Write("\xCF\xDF\r\n" + Lines(14));
    EXPECT_EQ(Record(0), "线");
}

TEST_F(CurveStoreTest, AnUndecodableRecordCostsOnlyItself) {
    // Line 3 holds a byte that is neither UTF-8 nor GB18030; line 1 is GB18030, line 2 UTF-8.
    std::string line3 =
        "1*2*\xFF"
        "3";
    std::string bytes = "\xCF\xDF\r\n线\r\n  " + line3 + "  \r\n";
    for (int k = 4; k <= 15; ++k) bytes += "rec" + std::to_string(k) + "\r\n";
    Write(bytes + "********\r\n");

    const Result<LineTexts> store = ReadCurveStoreFile(file_);
    ASSERT_TRUE(store);
    ASSERT_EQ((*store)[2], line3);
    EXPECT_EQ((*store)[0], "线");
    EXPECT_EQ((*store)[1], "线");
    EXPECT_EQ((*store)[14], "rec15");
    const Result<TrendLineTable> damaged = ParseTrendLine((*store)[2]);
    ASSERT_FALSE(damaged);
    EXPECT_EQ(damaged.messages().front().text, "曲线数据不完整，可能被破坏,请重新画线保存");

    // Saving another slot writes the damaged record back byte for byte.
    TrendLineTable line{};
    for (int i = 1; i <= 120; ++i) line[i] = i;
    ASSERT_TRUE(SaveCurveStoreLine(*store, 4, SerializeTrendLine(line), file_));
    EXPECT_NE(Bytes().find("\r\n" + line3 + "\r\n"), std::string::npos);
    EXPECT_EQ(Record(2), line3);
    EXPECT_EQ(Record(4), SerializeTrendLine(line));
}

TEST_F(CurveStoreTest, SaveSlotRewritesOneLineAndAddsTheMarker) {
    Write(Lines(15));
    const Result<LineTexts> store = ReadCurveStoreFile(file_);
    ASSERT_TRUE(store);
    TrendLineTable line{};
    for (int i = 1; i <= 120; ++i) line[i] = i * 10 - 600;
    const Result<LineTexts> saved = SaveCurveStoreLine(*store, 2, SerializeTrendLine(line), file_);
    ASSERT_TRUE(saved);
    EXPECT_TRUE(saved.messages().empty());
    EXPECT_EQ((*saved)[2], SerializeTrendLine(line));

    // The fifteen lines and the marker, as every reader of the store expects them; what the save
    // replaced follows the marker, where such a reader stops.
    std::string expected = "rec1\r\nrec2\r\n" + SerializeTrendLine(line) + "\r\n";
    for (int k = 4; k <= 15; ++k) expected += "rec" + std::to_string(k) + "\r\n";
    expected += "********\r\n03\r\n\r\n\r\nrec3\r\n";
    for (int k = 4; k <= 15; ++k) expected += "\r\n";
    expected += "********\r\n";
    EXPECT_EQ(Bytes(), expected);
    EXPECT_EQ(ParseCurveStoreBytes(Bytes()), *saved);

    // Reading it back reproduces the line exactly.
    const Result<TrendLineTable> back = ParseTrendLine(*Record(2));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, line);

    // A second save of another line keeps the first one's previous version; undoing puts back
    // only the line saved last, once.
    ASSERT_TRUE(SaveCurveStoreLine(*saved, 5, "1*2", file_));
    const Result<UndoneSave> undone = UndoLastCurveSave(file_);
    ASSERT_TRUE(undone);
    EXPECT_EQ(undone->index, 5);
    EXPECT_EQ(undone->lines[5], "rec6");
    EXPECT_EQ(undone->lines[2], SerializeTrendLine(line));
    EXPECT_EQ(Record(5), "rec6");
    const Result<UndoneSave> again = UndoLastCurveSave(file_);
    ASSERT_FALSE(again);
    EXPECT_EQ(again.messages().front(),
              (Message{"没有可撤销的保存", "提示", Message::Kind::NotFound}));
    // The undone text is still kept, and line 3's previous version was never lost.
    const Result<CurveStoreContents> contents = ReadCurveStoreContents(file_);
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->history.previous[5], "1*2");
    EXPECT_EQ(contents->history.previous[2], "rec3");
}

TEST_F(CurveStoreTest, FailedSaveKeepsTheOldFile) {
    if (::geteuid() == 0) {
        // Root ignores folder permissions; a folder standing where the file should be fails
        // the rename just as well.
        const fs::path blocked = dir_ / "blocked.mdb";
        fs::create_directories(blocked / "inside");
        const Status r = SaveCurveStore(LineTexts{}, blocked);
        EXPECT_FALSE(r);
        ASSERT_EQ(r.messages().size(), 1u);
        EXPECT_EQ(r.messages()[0].text, "本次保存曲线失败,请检查原因");
        EXPECT_EQ(r.messages()[0].title, "提示");
        EXPECT_TRUE(fs::exists(blocked / "inside"));
    }
    Write(Lines(15));
    const std::string before = Bytes();
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() != 0) {
        const Status r = SaveCurveStore(LineTexts{}, file_);
        EXPECT_FALSE(r);
        EXPECT_EQ(Bytes(), before);
    }
    fs::permissions(dir_, fs::perms::owner_all);
    // No temporary file is left behind either way.
    int entries = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir_)) ++entries;
    EXPECT_EQ(entries, ::geteuid() == 0 ? 2 : 1);
}

}  // namespace
}  // namespace xuan5
