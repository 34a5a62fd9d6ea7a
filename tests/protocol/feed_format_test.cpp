#include "protocol/feed_format.h"

#include <gtest/gtest.h>

#include "feed/feed_parser.h"
#include "protocol/endpoints.h"
#include "support/sample_history.h"

namespace xuan5 {
namespace {

// What the service writes, the program reads back line for line and draw for draw.
TEST(FeedFormat, WriterAndReaderAgree) {
    const DrawTable rows = testing::RandomHistory(11, 30);
    std::vector<std::string> lines;
    std::vector<DatedDraw> draws;
    for (int r = 1; r <= kHistoryRows; ++r) {
        draws.push_back({r <= 30 ? "2026-12-07" : "2026-12-06", rows[r].period, rows[r].numbers});
        lines.push_back(FeedLineText(draws.back()));
    }
    const std::string answer = FeedAnswerText(lines, "\r\nregion 1, newest 030\r\n");
    const auto payload = FeedPayloadLines(answer);
    ASSERT_TRUE(payload);
    ASSERT_EQ(payload->size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ((*payload)[i], lines[i]);
    EXPECT_EQ(DatedFeedRows(answer), draws);
    const FeedParse parse = ParseFeedResponse(answer, DrawTable{});
    ASSERT_TRUE(parse.staged);
    for (int r = 1; r <= kHistoryRows; ++r) {
        EXPECT_EQ((*parse.staged)[r].period, rows[r].period);
        EXPECT_EQ((*parse.staged)[r].numbers, rows[r].numbers);
    }

    // Without the marker or the closing separator there is no payload.
    EXPECT_FALSE(FeedPayloadLines(answer.substr(std::string(kOkMarker).size())));
    EXPECT_FALSE(FeedPayloadLines(answer.substr(0, answer.rfind(kFeedSeparator))));
}

TEST(Endpoints, UrlsJoinOnOneSlash) {
    EXPECT_EQ(JoinUrl("http://h:1", kHistoryPath), "http://h:1/11xuan5/huaxian/history.asp");
    EXPECT_EQ(JoinUrl("http://h:1//", "x"), "http://h:1/x");
    EXPECT_EQ(HistoryRequestUrl("http://h:1/", 2, 500),
              "http://h:1/11xuan5/huaxian/history.asp?cz=2&n=500");
    EXPECT_EQ(std::string(kDefaultServiceUrl),
              "http://" + std::string(kDefaultHost) + ":" + std::to_string(kDefaultPort));
}

TEST(FeedDates, ReadFromTheIgnoredPartOfFeedLines) {
    EXPECT_EQ(FeedLineDate("045 2026-12-07 01,05,06,09,11"), "2026-12-07");
    EXPECT_EQ(FeedLineDate("045-20261207-01,05,06,09,11"), "2026-12-07");
    EXPECT_EQ(FeedLineDate("045|2026/12/07|01,05,06,09,11"), "2026-12-07");
    EXPECT_FALSE(FeedLineDate("045-01,05,06,09,11"));
    EXPECT_FALSE(FeedLineDate("045 2026-13-07 01,05,06,09,11"));
    EXPECT_FALSE(FeedLineDate("045 x 01,05,06,09,11"));
    EXPECT_FALSE(FeedLineDate("01,05,06,09,11"));

    // A response with dates stages exactly as one without them, and gives its rows to archive.
    DrawTable rows = testing::RandomHistory(3, 45);
    std::string dated = "**ok***-*";
    for (int r = 1; r <= kHistoryRows; ++r) {
        if (r > 1) dated += "\r\n";
        const char* day = r <= 45 ? "2026-12-07" : "2026-12-06";
        // Row 7 comes without a date and is left out of the archive rows.
        dated += rows[r].period + (r == 7 ? std::string("-") : " " + std::string(day) + " ") +
                 rows[r].numbers;
    }
    dated += "\r\nextra line 2026-12-01 01,02,03,04,05*-*tail";
    const DrawTable plain = *ParseFeedResponse(testing::FeedResponse(rows), DrawTable{}).staged;
    const DrawTable withDates = *ParseFeedResponse(dated, DrawTable{}).staged;
    for (int r = 1; r <= kHistoryRows; ++r) {
        EXPECT_EQ(withDates[r].period, plain[r].period);
        EXPECT_EQ(withDates[r].numbers, plain[r].numbers);
    }
    EXPECT_EQ(withDates[1].numbers, rows[1].numbers);

    const std::vector<DatedDraw> archived = DatedFeedRows(dated);
    ASSERT_EQ(archived.size(), 119u);
    EXPECT_EQ(archived[0], (DatedDraw{"2026-12-07", rows[1].period, rows[1].numbers}));
    EXPECT_EQ(archived[6], (DatedDraw{"2026-12-07", rows[8].period, rows[8].numbers}));
    EXPECT_EQ(archived[118], (DatedDraw{"2026-12-06", rows[120].period, rows[120].numbers}));
    EXPECT_TRUE(DatedFeedRows(testing::FeedResponse(rows)).empty());
    EXPECT_TRUE(DatedFeedRows("no marker").empty());
}

}  // namespace
}  // namespace xuan5
