#include "server.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include "protocol/draw_csv.h"
#include "protocol/feed_format.h"
#include "service_test_support.h"
#include "token.h"

namespace xuan5::service {
namespace {

using namespace std::chrono_literals;
using testing::ChinaTime;
using testing::kDefaultRecord;
using testing::ManualClock;
using testing::PercentEncode;
using testing::ServiceUnderTest;
using testing::Split;
using testing::TempDir;

// 2024-05-06 12:00 China time: 山东 has drawn period 011, 重庆 018, 广东 008.
const TimePoint kNoon = ChinaTime(2024, 5, 6, 12, 0);

std::string AddUser(Database& db, const std::string& name) {
    const std::string token = "token-of-" + name;
    EXPECT_TRUE(db.AddUser(name, Sha256Hex(token)));
    return token;
}

ServiceOptions Simulating(const std::string& db, const ManualClock& clock, int period_seconds = 0) {
    ServiceOptions options;
    options.db_path = db;
    options.simulate = true;
    options.period_seconds = period_seconds;
    options.now = clock.Source();
    options.tick_interval = 0ms;  // the tests call Tick() themselves
    return options;
}

std::vector<std::string> PayloadLines(const std::string& feed) {
    const auto parts = Split(feed, "*-*");
    return parts.size() >= 3 ? Split(parts[1], "\r\n") : std::vector<std::string>{};
}

// What the program would see as the record: the text between the first two "*sz*".
std::string RecordSections(const std::string& text) {
    const auto first = text.find("*sz*");
    const auto second = text.find("*sz*", first + 4);
    if (first == std::string::npos || second == std::string::npos) return "<no record>";
    return text.substr(first + 4, second - first - 4);
}

TEST(FeedRequest, AnswersTheLatest120SimulatedDrawsLineByLineNewestFirst) {
    TempDir dir;
    ManualClock clock(kNoon);
    ServiceUnderTest server(Simulating(dir.File("s.db"), clock));
    const std::string token = AddUser(server.service().database(), "alice");

    for (int region = 1; region <= kRegionCount; ++region) {
        const std::string feed = server.Feed(region, token);
        ASSERT_EQ(feed.rfind("**ok***-*", 0), 0u) << feed.substr(0, 40);
        const auto parts = Split(feed, "*-*");
        ASSERT_EQ(parts.size(), 3u);
        const auto lines = PayloadLines(feed);
        ASSERT_EQ(lines.size(), 120u);
        const Slot newest = CurrentSlot(region, kNoon);
        for (int k = 0; k < 120; ++k) {
            const Draw expected = SimulatedDraw(region, newest - k);
            char text[48];
            std::snprintf(text, sizeof text, "%03d %s %02d,%02d,%02d,%02d,%02d", expected.period,
                          expected.day.c_str(), expected.numbers[0], expected.numbers[1],
                          expected.numbers[2], expected.numbers[3], expected.numbers[4]);
            ASSERT_EQ(lines[k], text) << "region " << region << " line " << k;
        }
    }
    EXPECT_EQ(PayloadLines(server.Feed(1, token))[0].substr(0, 3), "011");
    EXPECT_EQ(PayloadLines(server.Feed(2, token))[0].substr(0, 3), "018");
    EXPECT_EQ(PayloadLines(server.Feed(3, token))[0].substr(0, 3), "008");
}

TEST(FeedRequest, RegionsAreIsolatedAndImportsReachOnlyTheirRegion) {
    TempDir dir;
    ManualClock clock(kNoon);
    ServiceUnderTest server(Simulating(dir.File("s.db"), clock));
    const std::string token = AddUser(server.service().database(), "alice");
    const std::string shandong = server.Feed(1, token);
    const std::string chongqing = server.Feed(2, token);
    EXPECT_NE(PayloadLines(shandong), PayloadLines(chongqing));

    // A real result for 重庆 arrives through another connection, as `import` does.
    Database importer(dir.File("s.db"));
    importer.StoreDraws(2, {Draw{"2024-05-06", 18, {11, 10, 9, 8, 7}}},
                        Database::OnConflict::kReplace);
    server.service().Tick();
    EXPECT_EQ(PayloadLines(server.Feed(2, token))[0], "018 2024-05-06 11,10,09,08,07");
    EXPECT_EQ(server.Feed(1, token), shandong);
}

TEST(FeedRequest, FewerThan120DrawsAnswerWithoutTheMarker) {
    TempDir dir;
    ServiceOptions options;
    options.db_path = dir.File("s.db");
    options.tick_interval = 0ms;
    ServiceUnderTest server(options);
    const std::string token = AddUser(server.service().database(), "alice");
    EXPECT_EQ(server.Feed(1, token).find("**ok**"), std::string::npos);

    Database importer(options.db_path);
    std::vector<Draw> draws;
    for (Slot slot = 0; slot < 119; ++slot) draws.push_back(SimulatedDraw(1, 19000 * 42 + slot));
    importer.StoreDraws(1, draws, Database::OnConflict::kReplace);
    server.service().Tick();
    const auto short_feed = server.Post("/11xuan5/huaxian/login.asp?lx=2&zt=2&cz=1&a=1.5", token);
    ASSERT_TRUE(short_feed);
    EXPECT_EQ(short_feed->status, 200);
    EXPECT_EQ(short_feed->body.find("**ok**"), std::string::npos);

    importer.StoreDraws(1, {SimulatedDraw(1, 19000 * 42 + 119)}, Database::OnConflict::kReplace);
    server.service().Tick();
    EXPECT_EQ(server.Feed(1, token).rfind("**ok**", 0), 0u);
    EXPECT_EQ(server.Feed(2, token).find("**ok**"), std::string::npos);
}

TEST(FeedRequest, UnknownLxZtOrCzIsABadRequest) {
    TempDir dir;
    ManualClock clock(kNoon);
    ServiceUnderTest server(Simulating(dir.File("s.db"), clock));
    const std::string token = AddUser(server.service().database(), "alice");
    for (const char* query :
         {"lx=2&zt=2&cz=0", "lx=2&zt=2&cz=4", "lx=2&zt=2&cz=01", "lx=2&zt=2&cz=", "lx=2&zt=2",
          "lx=1&zt=2&cz=1", "lx=2&zt=1&cz=1", "zt=2&cz=1", "lx=2&zt=2&cz=1x", ""}) {
        const auto res = server.Post(std::string("/11xuan5/huaxian/login.asp?") + query, token);
        ASSERT_TRUE(res) << query;
        EXPECT_EQ(res->status, 400) << query;
        EXPECT_EQ(res->body.find("**ok**"), std::string::npos);
    }
    for (const char* query : {"lx=2&zt=3&", "lx=3&zt=2&", "lx=2&", "lx=2&zt=1"}) {
        const auto res = server.Post(std::string("/11xuan5/huaxian/save.asp?") + query, token);
        ASSERT_TRUE(res) << query;
        EXPECT_EQ(res->status, 400) << query;
        EXPECT_EQ(res->body.find(kSuccessMarker), std::string::npos);
    }
    // `a` is only there to defeat caches; any value or none is fine.
    EXPECT_EQ(server.Post("/11xuan5/huaxian/login.asp?lx=2&zt=2&cz=3", token)->status, 200);
    EXPECT_EQ(server.Post("/11xuan5/huaxian/login.asp?lx=2&zt=2&cz=3&a=x", token)->status, 200);
}

httplib::Result GetHistory(const ServiceUnderTest& server, const std::string& query,
                           const std::string& token) {
    httplib::Client client("127.0.0.1", server.port());
    httplib::Headers headers;
    if (!token.empty()) headers.emplace("Authorization", "Bearer " + token);
    return client.Get("/11xuan5/huaxian/history.asp?" + query, headers);
}

TEST(HistoryRequest, LastNDrawsOldestFirstInTheImportLayoutMatchingTheDatedFeed) {
    TempDir dir;
    ManualClock clock(kNoon);
    ServiceUnderTest server(Simulating(dir.File("s.db"), clock));
    const std::string token = AddUser(server.service().database(), "alice");

    const auto five = GetHistory(server, "cz=1&n=5", token);
    ASSERT_TRUE(five);
    ASSERT_EQ(five->status, 200);
    const Slot newest = CurrentSlot(1, kNoon);
    std::string expected;
    for (Slot slot = newest - 4; slot <= newest; ++slot) {
        expected += DrawCsvLine(ToDatedDraw(SimulatedDraw(1, slot))) + "\r\n";
    }
    EXPECT_EQ(five->body, expected);
    EXPECT_EQ(five->body.substr(0, 15), "2024-05-06,007,");

    // A fresh service stores about three days, yet answers 5000 periods from its generator, one
    // per scheduled period back from the newest, with an imported result in its own period. The
    // program reads the answer with its import reader, and the 120 newest rows are the ones a
    // fetch of the feed archives with their dates.
    ASSERT_LT(server.service().database().RecentDraws(1, 5000).size(), 200u);
    const Draw imported{"2024-02-01", 7, {1, 2, 3, 4, 5}};
    Database(dir.File("s.db")).StoreDraws(1, {imported}, Database::OnConflict::kReplace);
    const auto many = GetHistory(server, "cz=1&n=5000", token);
    ASSERT_TRUE(many);
    const DrawCsv csv = xuan5::ParseDrawCsv(many->body);
    EXPECT_TRUE(csv.rejected.empty());
    ASSERT_EQ(csv.draws.size(), 5000u);
    int replaced = 0;
    for (std::size_t i = 0; i < csv.draws.size(); ++i) {
        const Draw simulated = SimulatedDraw(1, newest - 4999 + static_cast<Slot>(i));
        const bool isImported =
            simulated.day == imported.day && simulated.period == imported.period;
        replaced += isImported;
        EXPECT_EQ(csv.draws[i], ToDatedDraw(isImported ? imported : simulated)) << "row " << i;
    }
    EXPECT_EQ(replaced, 1);
    // 11 periods of May 6, 118 whole days, and periods 010..042 of January 8.
    EXPECT_EQ(csv.draws.front().date + " " + csv.draws.front().period, "2024-01-08 010");
    std::vector<DatedDraw> fetched = DatedFeedRows(server.Feed(1, token));
    ASSERT_EQ(fetched.size(), 120u);
    std::reverse(fetched.begin(), fetched.end());
    EXPECT_EQ(fetched, std::vector<DatedDraw>(csv.draws.end() - 120, csv.draws.end()));

    // Imported results are served like simulated ones, in their own region only.
    Database importer(dir.File("s.db"));
    importer.StoreDraws(2, {Draw{"2024-05-06", 18, {11, 10, 9, 8, 7}}},
                        Database::OnConflict::kReplace);
    EXPECT_EQ(GetHistory(server, "cz=2&n=1", token)->body, "2024-05-06,018,11,10,09,08,07\r\n");
    EXPECT_NE(GetHistory(server, "cz=1&n=1", token)->body, "2024-05-06,018,11,10,09,08,07\r\n");

    for (const char* query :
         {"cz=1&n=0", "cz=1&n=5001", "cz=1&n=-1", "cz=1&n=abc", "cz=1&n=", "cz=1", "cz=4&n=5",
          "cz=0&n=5", "n=5", "cz=1&n=1e3", "cz=1&n=99999999999999999999"}) {
        const auto res = GetHistory(server, query, token);
        ASSERT_TRUE(res) << query;
        EXPECT_EQ(res->status, 400) << query;
    }
    for (const std::string& refused : {std::string(), std::string("wrong-token")}) {
        const auto res = GetHistory(server, "cz=1&n=5", refused);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 401);
        EXPECT_TRUE(res->body.empty());
    }
}

TEST(Authorization, MissingWrongOrMalformedTokensGet401AndNothingElse) {
    TempDir dir;
    ManualClock clock(kNoon);
    ServiceUnderTest server(Simulating(dir.File("s.db"), clock));
    const std::string token = AddUser(server.service().database(), "alice");
    server.Save(std::string(kDefaultRecord), token);

    httplib::Client client("127.0.0.1", server.port());
    const std::vector<httplib::Headers> refused = {
        {},
        {{"Authorization", "Bearer wrong-token"}},
        {{"Authorization", "Bearer "}},
        {{"Authorization", "Basic " + token}},
        {{"Authorization", token}},
        {{"Authorization", "Bearer " + token + "x"}},
        {{"Authorization", "Bearer " + Sha256Hex(token)}},  // the stored digest is no key
    };
    for (const std::string target :
         {"/11xuan5/huaxian/login.asp?lx=2&zt=2&cz=1&a=1", "/11xuan5/huaxian/save.asp?lx=2&zt=2&",
          "/11xuan5/huaxian/save.asp?lx=2&zt=1&uesr_shizhi=x", "/elsewhere"}) {
        for (const auto& headers : refused) {
            const auto res = client.Post(target, headers, "", "application/x-www-form-urlencoded");
            ASSERT_TRUE(res);
            EXPECT_EQ(res->status, 401) << target;
            EXPECT_TRUE(res->body.empty()) << res->body;
        }
    }
    // Nothing was overwritten by the refused save.
    EXPECT_EQ(RecordSections(server.Load(token)->body),
              RecordSections(std::string(kDefaultRecord)));
    // The scheme name is case-insensitive.
    const auto lower =
        client.Post("/11xuan5/huaxian/save.asp?lx=2&zt=2&", {{"Authorization", "bearer " + token}},
                    "", "application/x-www-form-urlencoded");
    ASSERT_TRUE(lower);
    EXPECT_EQ(lower->status, 200);
}

TEST(Settings, DefaultRecordSurvivesTheRoundTripAndUsersStayApart) {
    TempDir dir;
    ManualClock clock(kNoon);
    ServiceUnderTest server(Simulating(dir.File("s.db"), clock));
    const std::string alice = AddUser(server.service().database(), "alice");
    const std::string bob = AddUser(server.service().database(), "bob");
    ASSERT_EQ(kDefaultRecord.size(), 156u);

    const auto never_saved = server.Load(alice);
    ASSERT_TRUE(never_saved);
    EXPECT_EQ(never_saved->body.find(kSuccessMarker), std::string::npos);

    // Sent raw, as the record needs no escaping, and percent-encoded.
    const auto saved = server.Post(
        "/11xuan5/huaxian/save.asp?lx=2&zt=1&uesr_shizhi=" + std::string(kDefaultRecord), alice);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->status, 200);
    EXPECT_NE(saved->body.find(kSuccessMarker), std::string::npos);
    auto loaded = server.Load(alice);
    ASSERT_TRUE(loaded);
    EXPECT_NE(loaded->body.find(kSuccessMarker), std::string::npos);
    EXPECT_NE(loaded->body.find(kDefaultRecord), std::string::npos);
    EXPECT_EQ(RecordSections(loaded->body), kDefaultRecord.substr(4, 148));

    // Bob sees nothing of Alice's, and his save leaves hers alone.
    EXPECT_EQ(server.Load(bob)->body.find(kSuccessMarker), std::string::npos);
    const std::string bobs = "*sz*1/2/3*4/5*6/7/8/9/10/11/12*sz*";
    EXPECT_NE(server.Save(bobs, bob)->body.find(kSuccessMarker), std::string::npos);
    EXPECT_EQ(RecordSections(server.Load(bob)->body), "1/2/3*4/5*6/7/8/9/10/11/12");
    EXPECT_EQ(RecordSections(server.Load(alice)->body), kDefaultRecord.substr(4, 148));

    // A later save replaces the earlier one.
    EXPECT_NE(server.Save(bobs + "x", bob)->body.find(kSuccessMarker), std::string::npos);
    EXPECT_NE(server.Load(bob)->body.find(bobs + "x"), std::string::npos);
}

TEST(Settings, RecordsWithReservedAndNonAsciiCharactersComeBackExactly) {
    TempDir dir;
    ManualClock clock(kNoon);
    ServiceUnderTest server(Simulating(dir.File("s.db"), clock));
    const std::string token = AddUser(server.service().database(), "alice");
    const std::vector<std::string> records = {
        "*sz*a&b=c/100%/ 2 3 */x&y*05#9/+1/%41/山东 重庆*sz*",
        "*sz*/////////////////////**//////*sz*",  // every field empty
        "*sz*%zz%%/&&&/=?/;,:@$*a*b*sz*",
    };
    for (const std::string& record : records) {
        const auto saved = server.Save(record, token);
        ASSERT_TRUE(saved);
        EXPECT_NE(saved->body.find(kSuccessMarker), std::string::npos) << record;
        const auto loaded = server.Load(token);
        ASSERT_TRUE(loaded);
        EXPECT_NE(loaded->body.find(kSuccessMarker), std::string::npos);
        EXPECT_EQ(RecordSections(loaded->body), record.substr(4, record.size() - 8));
    }
}

TEST(Settings, ARecordHoldingTheSuccessMarkerIsRefused) {
    TempDir dir;
    ManualClock clock(kNoon);
    ServiceUnderTest server(Simulating(dir.File("s.db"), clock));
    const std::string token = AddUser(server.service().database(), "alice");
    ASSERT_NE(server.Save(std::string(kDefaultRecord), token)->body.find(kSuccessMarker),
              std::string::npos);
    const auto refused = server.Save("*sz*" + std::string(kSuccessMarker) + "*1*2*sz*", token);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 400);
    EXPECT_EQ(refused->body.find(kSuccessMarker), std::string::npos);
    EXPECT_EQ(RecordSections(server.Load(token)->body), kDefaultRecord.substr(4, 148));
}

TEST(Limits, OversizedBodiesAndTargetsAreRefusedAndTheServerCarriesOn) {
    TempDir dir;
    ManualClock clock(kNoon);
    ServiceUnderTest server(Simulating(dir.File("s.db"), clock));
    const std::string token = AddUser(server.service().database(), "alice");
    const httplib::Headers auth = {{"Authorization", "Bearer " + token}};
    httplib::Client client("127.0.0.1", server.port());
    const std::string feed_target = "/11xuan5/huaxian/login.asp?lx=2&zt=2&cz=1&a=1";

    const auto big_body =
        client.Post(feed_target, auth, std::string(5000, 'b'), "application/x-www-form-urlencoded");
    ASSERT_TRUE(big_body);
    EXPECT_EQ(big_body->status, 413);

    const auto big_chunked = client.Post(
        feed_target, auth,
        [](size_t offset, httplib::DataSink& sink) {
            if (offset >= 5000) {
                sink.done();
                return true;
            }
            const std::string chunk(1000, 'c');
            return sink.write(chunk.data(), chunk.size());
        },
        "application/x-www-form-urlencoded");
    ASSERT_TRUE(big_chunked);
    EXPECT_EQ(big_chunked->status, 413);

    const auto long_record = server.Save("*sz*" + std::string(5000, '1') + "*sz*", token);
    ASSERT_TRUE(long_record);
    EXPECT_EQ(long_record->status, 414);
    EXPECT_EQ(long_record->body.find(kSuccessMarker), std::string::npos);
    const auto huge_target = server.Post(feed_target + "&pad=" + std::string(20000, 'p'), token);
    ASSERT_TRUE(huge_target);
    EXPECT_EQ(huge_target->status, 414);

    // A small body is read and ignored; the request is answered as usual.
    const auto small_body =
        client.Post(feed_target, auth, std::string(100, 's'), "application/x-www-form-urlencoded");
    ASSERT_TRUE(small_body);
    EXPECT_EQ(small_body->status, 200);
    EXPECT_EQ(server.Feed(1, token).rfind("**ok**", 0), 0u);
}

// Sends raw bytes and returns whatever comes back before the server closes or goes quiet.
// Half-closing tells the server that no more bytes will come.
std::string RawExchange(int port, const std::string& bytes, bool half_close) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string reply;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        timeval timeout{2, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        (void)!::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (half_close) ::shutdown(fd, SHUT_WR);
        char buffer[4096];
        for (;;) {
            const auto n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            reply.append(buffer, static_cast<std::size_t>(n));
            if (reply.find("*-*\r\nregion") != std::string::npos) break;
        }
    }
    ::close(fd);
    return reply;
}

TEST(Robustness, MalformedRequestsNeverStopTheServer) {
    TempDir dir;
    ManualClock clock(kNoon);
    ServiceUnderTest server(Simulating(dir.File("s.db"), clock));
    const std::string token = AddUser(server.service().database(), "alice");
    const std::string auth = "Authorization: Bearer " + token + "\r\n";
    for (const std::string& junk : {
             std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11),
             std::string("GARBAGE\r\n\r\n"),
             std::string("POST /11xuan5/huaxian/login.asp?lx=2&zt=2&cz=1 HTTP/1.1\r\n") + auth +
                 "Content-Length: -5\r\n\r\n",
             std::string("POST /11xuan5/huaxian/login.asp?lx=2&zt=2&cz=1 HTTP/1.1\r\n") + auth +
                 "Transfer-Encoding: chunked\r\n\r\nzz\r\n",
             std::string("POST /11xuan5/huaxian/save.asp?lx=2&zt=1&uesr_shizhi=%%%%%0 "
                         "HTTP/1.1\r\n") +
                 auth + "Content-Length: 0\r\n\r\n",
             std::string("POST /11xuan5/huaxian/login.asp?lx=2&zt=2&cz=1 HTTP/1.1\r\nX: ") +
                 std::string(20000, 'h') + "\r\n\r\n",
             std::string(100, '\0'),
         }) {
        RawExchange(server.port(), junk, true);
    }
    EXPECT_EQ(server.Feed(1, token).rfind("**ok**", 0), 0u);
}

TEST(Robustness, APostWithoutContentLengthHasAnEmptyBody) {
    TempDir dir;
    ManualClock clock(kNoon);
    ServiceUnderTest server(Simulating(dir.File("s.db"), clock));
    const std::string token = AddUser(server.service().database(), "alice");
    // Not half-closed: a server that waited for the end of a body would time out the exchange.
    const std::string reply =
        RawExchange(server.port(),
                    "POST /11xuan5/huaxian/login.asp?lx=2&zt=2&cz=2&a=3 HTTP/1.1\r\nHost: x\r\n"
                    "Authorization: Bearer " +
                        token + "\r\n\r\n",
                    false);
    EXPECT_EQ(reply.rfind("HTTP/1.1 200", 0), 0u) << reply.substr(0, 60);
    EXPECT_NE(reply.find("**ok***-*"), std::string::npos);
}

TEST(Simulation, RestartServesTheSameHistoryAndLaterDrawsFollowOn) {
    TempDir dir;
    ManualClock clock(kNoon);
    std::string first_feed;
    std::string token;
    {
        ServiceUnderTest server(Simulating(dir.File("s.db"), clock));
        token = AddUser(server.service().database(), "alice");
        first_feed = server.Feed(1, token);
    }
    {
        ServiceUnderTest again(Simulating(dir.File("s.db"), clock));
        EXPECT_EQ(again.Feed(1, token), first_feed);
    }
    {
        // Another database, same moment: the history is a function of the calendar alone.
        ServiceUnderTest elsewhere(Simulating(dir.File("other.db"), clock));
        AddUser(elsewhere.service().database(), "alice");
        EXPECT_EQ(elsewhere.Feed(1, token), first_feed);
    }
    // Forty minutes later two more 山东 periods are out; the rest moves down two lines.
    clock.Advance(40min);
    ServiceUnderTest later(Simulating(dir.File("s.db"), clock));
    const auto before = PayloadLines(first_feed);
    const auto after = PayloadLines(later.Feed(1, token));
    ASSERT_EQ(after.size(), 120u);
    EXPECT_EQ(after[0].substr(0, 3), "013");
    EXPECT_EQ(after[1].substr(0, 3), "012");
    EXPECT_TRUE(std::equal(after.begin() + 2, after.end(), before.begin()));
}

TEST(Simulation, TicksAddEachPeriodWhenItIsDue) {
    TempDir dir;
    ManualClock clock(ChinaTime(2024, 5, 6, 22, 4, 59));
    ServiceUnderTest server(Simulating(dir.File("s.db"), clock));
    const std::string token = AddUser(server.service().database(), "alice");
    EXPECT_EQ(PayloadLines(server.Feed(1, token))[0].substr(0, 3), "041");
    server.service().Tick();
    EXPECT_EQ(PayloadLines(server.Feed(1, token))[0].substr(0, 3), "041");
    clock.Advance(1s);
    server.service().Tick();
    EXPECT_EQ(PayloadLines(server.Feed(1, token))[0].substr(0, 3), "042");
    // Overnight nothing new; the next morning's first period is 001 of the new day.
    clock.Advance(10h);
    server.service().Tick();
    EXPECT_EQ(PayloadLines(server.Feed(1, token))[0].substr(0, 3), "042");
    clock.Advance(20min);
    server.service().Tick();
    const auto lines = PayloadLines(server.Feed(1, token));
    EXPECT_EQ(lines[0].substr(0, 3), "001");
    EXPECT_EQ(lines[1].substr(0, 3), "042");
    EXPECT_EQ(lines[0], FeedLine(SimulatedDraw(1, CurrentSlot(1, ChinaTime(2024, 5, 7, 8, 25)))));
}

TEST(Simulation, CompressedScheduleDrawsAPeriodEveryNSecondsAndResumesAfterARestart) {
    TempDir dir;
    ManualClock clock(kNoon);
    std::vector<std::string> lines;
    std::string token;
    {
        ServiceUnderTest server(Simulating(dir.File("s.db"), clock, 5));
        token = AddUser(server.service().database(), "alice");
        EXPECT_EQ(PayloadLines(server.Feed(2, token))[0].substr(0, 3), "018");
        clock.Advance(4s);
        server.service().Tick();
        EXPECT_EQ(PayloadLines(server.Feed(2, token))[0].substr(0, 3), "018");
        clock.Advance(8s);  // 12 s in: two periods
        server.service().Tick();
        lines = PayloadLines(server.Feed(2, token));
        EXPECT_EQ(lines[0].substr(0, 3), "020");
        EXPECT_EQ(PayloadLines(server.Feed(1, token))[0].substr(0, 3), "013");
    }
    // The real clock has not reached period 020 yet; the restart goes on from what is stored.
    ServiceUnderTest restarted(Simulating(dir.File("s.db"), clock, 5));
    EXPECT_EQ(PayloadLines(restarted.Feed(2, token)), lines);
    clock.Advance(5s);
    restarted.service().Tick();
    const auto next = PayloadLines(restarted.Feed(2, token));
    EXPECT_EQ(next[0].substr(0, 3), "021");
    EXPECT_TRUE(std::equal(next.begin() + 1, next.end(), lines.begin()));
}

TEST(Concurrency, ParallelClientsGetConsistentAnswers) {
    TempDir dir;
    ManualClock clock(kNoon);
    ServiceUnderTest server(Simulating(dir.File("s.db"), clock));
    const std::string expected_feed = [&] {
        const std::string token = AddUser(server.service().database(), "reader");
        return server.Feed(3, token);
    }();
    constexpr int kClients = 8;
    std::vector<std::string> tokens;
    for (int i = 0; i < kClients; ++i) {
        tokens.push_back(AddUser(server.service().database(), "user" + std::to_string(i)));
    }
    std::atomic<int> failures{0};
    std::vector<std::thread> clients;
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([&, i] {
            for (int round = 0; round < 25; ++round) {
                if (server.Feed(3, tokens[i]) != expected_feed) ++failures;
                const std::string record =
                    "*sz*" + std::to_string(i) + "/" + std::to_string(round) + "*x*y*sz*";
                const auto saved = server.Save(record, tokens[i]);
                if (!saved || saved->body.find(kSuccessMarker) == std::string::npos) ++failures;
                const auto loaded = server.Load(tokens[i]);
                if (!loaded || loaded->body.find(record) == std::string::npos) ++failures;
            }
        });
    }
    // Draws keep arriving meanwhile.
    for (int i = 0; i < 20; ++i) server.service().Tick();
    for (auto& client : clients) client.join();
    EXPECT_EQ(failures.load(), 0);
    for (int i = 0; i < kClients; ++i) {
        EXPECT_NE(server.Load(tokens[i])->body.find("*sz*" + std::to_string(i) + "/24*"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace xuan5::service
