// The draw feed over real HTTP against a server on loopback: the request, every outcome in the
// status line, the countdown, and that the window keeps running while a request is out.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <set>

#include "core/update_step.h"
#include "ui/common/http_request.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

using namespace std::chrono_literals;

QString StatusOf(Shell& shell) {
    return shell.Find<QLineEdit>("Tnew")->text();
}

TEST(Feed, RequestCarriesTheKeysInOrderTheTokenAndTheRegion) {
    Shell shell;
    ASSERT_TRUE(shell.FetchFeed(150));
    shell.Find<QRadioButton>("Op_lx_2")->click();  // a region switch fetches the region
    ASSERT_TRUE(shell.WaitForFetch());
    shell.Find<QRadioButton>("Op_lx_1")->click();
    ASSERT_TRUE(shell.WaitForFetch());

    const std::vector<RecordedRequest> requests = shell.Server().Requests();
    ASSERT_EQ(requests.size(), 3u);
    const char* regions[] = {"1", "3", "2"};
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const RecordedRequest& r = requests[i];
        EXPECT_EQ(r.method, "POST");
        EXPECT_EQ(r.path, "/11xuan5/huaxian/login.asp");
        EXPECT_EQ(r.authorization, std::string("Bearer ") + kTestToken);
        EXPECT_EQ(r.contentType, "application/x-www-form-urlencoded");
        EXPECT_TRUE(r.body.empty());
        const QUrlQuery query(QString::fromStdString(r.query));
        const auto items = query.queryItems();
        ASSERT_EQ(items.size(), 4) << r.query;
        EXPECT_EQ(items[0], qMakePair(QString("lx"), QString("2")));
        EXPECT_EQ(items[1], qMakePair(QString("zt"), QString("2")));
        EXPECT_EQ(items[2], qMakePair(QString("cz"), QString(regions[i])));
        EXPECT_EQ(items[3].first, "a");
        bool ok = false;
        const double a = items[3].second.toDouble(&ok);
        EXPECT_TRUE(ok) << r.query;
        EXPECT_GE(a, 0.0);
        EXPECT_LT(a, 10.0);
    }
    // Each URL is unique, so no cache can answer.
    EXPECT_NE(requests[0].query, requests[1].query);
    EXPECT_NE(requests[1].query, requests[2].query);
}

TEST(Feed, FirstWellFormedResponseIsAppliedAndListed) {
    Shell shell;
    ASSERT_TRUE(shell.FetchFeed(150));
    EXPECT_EQ(StatusOf(shell), QStringLiteral("已经开奖！"));
    Session& state = shell.Tables();
    EXPECT_EQ(state.UpdateCount(), 1);
    EXPECT_TRUE(state.HasDraws());
    EXPECT_EQ(state.DrawHistory()[1].period, "150");
    EXPECT_EQ(state.DrawHistory()[120].period, "031");
    auto* list = shell.Find<QListWidget>("L_kjh");
    ASSERT_EQ(list->count(), 120);
    EXPECT_EQ(list->item(0)->text().toStdString(), "150:" + DrawNumbers(150));
    EXPECT_EQ(list->item(119)->text().toStdString(), "031:" + DrawNumbers(31));
    EXPECT_TRUE(shell.Find<QPushButton>("Cshoudong")->isEnabled());
}

TEST(Feed, FailureTableEveryRow) {
    Shell shell;
    ASSERT_TRUE(shell.FetchFeed(150));
    const DrawTable history = shell.Tables().DrawHistory();
    auto unchangedHistory = [&] {
        for (int r = 0; r <= 120; ++r)
            if (shell.Tables().DrawHistory()[r].period != history[r].period ||
                shell.Tables().DrawHistory()[r].numbers != history[r].numbers)
                return false;
        return shell.Tables().UpdateCount() == 1;
    };
    // A refused answer keeps the staged table of the last good one.
    auto stagedKept = [&] {
        for (int r = 0; r <= 120; ++r)
            if (shell.Tables().IncomingDraws(1)[r].period != history[r].period) return false;
        return true;
    };

    // Status other than 200, with a body; an empty 200 body. Each says which.
    const std::pair<int, const char*> refusals[] = {
        {404, "无法连接：服务拒绝了请求（HTTP 404：**ok***-*151"},
        {500, "无法连接：服务出错（HTTP 500：**ok***-*151"},
        {401, "无法连接：令牌被拒绝，请检查 service.ini 的 token="}};
    for (const auto& [status, text] : refusals) {
        shell.Server().Answer(status, FeedResponse(FeedLines(151, 120)));
        ASSERT_TRUE(shell.Fetch());
        EXPECT_TRUE(StatusOf(shell).startsWith(QString::fromUtf8(text))) << status;
        EXPECT_TRUE(unchangedHistory());
        EXPECT_EQ(shell.Tables().IncomingDraws(1)[1].period, "150") << "staged table kept";
    }
    shell.Server().Answer(200, "");
    ASSERT_TRUE(shell.Fetch());
    EXPECT_EQ(StatusOf(shell), QStringLiteral("无法连接：服务的应答是空的"));

    // A body without the marker leaves even the staged table alone.
    std::string noMarker = FeedResponse(FeedLines(151, 120));
    noMarker.replace(0, 6, "**no**");
    shell.Server().Answer(200, noMarker);
    ASSERT_TRUE(shell.Fetch());
    EXPECT_EQ(StatusOf(shell), QStringLiteral("没有获取到数据"));
    EXPECT_EQ(shell.Tables().IncomingDraws(1)[1].period, "150");
    EXPECT_TRUE(unchangedHistory());

    // The payload not closed by a second separator.
    std::string open = FeedResponse(FeedLines(151, 120));
    open = open.substr(0, open.rfind("*-*"));
    shell.Server().Answer(200, open);
    ASSERT_TRUE(shell.Fetch());
    EXPECT_EQ(StatusOf(shell), QStringLiteral("没有获取到数据"));
    EXPECT_TRUE(stagedKept());
    EXPECT_TRUE(unchangedHistory());

    // 119 lines.
    shell.Server().Answer(200, FeedResponse(FeedLines(151, 119)));
    ASSERT_TRUE(shell.Fetch());
    EXPECT_EQ(StatusOf(shell), QStringLiteral("没有获取到数据"));
    EXPECT_TRUE(stagedKept());
    EXPECT_TRUE(unchangedHistory());

    // A malformed row among 120 spoils the whole response.
    std::vector<std::string> lines = FeedLines(151, 120);
    lines[40] = "111-01,02,03,04,12";
    shell.Server().Answer(200, FeedResponse(lines));
    ASSERT_TRUE(shell.Fetch());
    EXPECT_EQ(StatusOf(shell), QStringLiteral("没有获取到数据"));
    EXPECT_TRUE(stagedKept());
    EXPECT_TRUE(unchangedHistory());

    // The same list again: nothing new, but the staged table holds it.
    shell.Server().Answer(200, FeedResponse(FeedLines(150, 120)));
    ASSERT_TRUE(shell.Fetch());
    EXPECT_EQ(StatusOf(shell), QStringLiteral("没有更新！"));
    EXPECT_EQ(shell.Tables().IncomingDraws(1)[1].period, "150");
    EXPECT_TRUE(unchangedHistory());

    // No server at all.
    shell.Window().Context().services.Http().ClearConnectionCache();
    shell.Server().Stop();
    ASSERT_TRUE(shell.Fetch());
    EXPECT_EQ(StatusOf(shell), QStringLiteral("无法连接：连接被拒绝，服务没有运行"));
    EXPECT_TRUE(unchangedHistory());
    EXPECT_TRUE(shell.Find<QPushButton>("Cshoudong")->isEnabled());
}

TEST(Feed, NewPeriodsAreAcceptedWithinSixtyRows) {
    Shell shell;
    ASSERT_TRUE(shell.FetchFeed(150));
    // Two new periods: the current newest stands third.
    ASSERT_TRUE(shell.FetchFeed(152));
    EXPECT_EQ(StatusOf(shell), QStringLiteral("已经开奖！"));
    EXPECT_EQ(shell.Tables().DrawHistory()[1].period, "152");
    EXPECT_EQ(shell.Tables().DrawHistory()[3].period, "150");
    EXPECT_EQ(shell.Tables().UpdateCount(), 2);

    // Newest period at row 60 of the new list: still an update.
    ASSERT_TRUE(shell.FetchFeed(152 + 59));
    EXPECT_EQ(StatusOf(shell), QStringLiteral("已经开奖！"));
    EXPECT_EQ(shell.Tables().DrawHistory()[60].period, "152");
    EXPECT_EQ(shell.Tables().UpdateCount(), 3);

    // At row 61 it is out of reach: treated as no update.
    ASSERT_TRUE(shell.FetchFeed(211 + 60));
    EXPECT_EQ(StatusOf(shell), QStringLiteral("没有更新！"));
    EXPECT_EQ(shell.Tables().DrawHistory()[1].period, "211");
    EXPECT_EQ(shell.Tables().UpdateCount(), 3);

    // 121 lines: the last is ignored.
    ASSERT_TRUE(shell.FetchFeed(212));
    shell.Server().Answer(200, FeedResponse(FeedLines(213, 121)));
    ASSERT_TRUE(shell.Fetch());
    EXPECT_EQ(shell.Tables().DrawHistory()[1].period, "213");
    EXPECT_EQ(shell.Tables().DrawHistory()[120].period, "094");
    EXPECT_EQ(shell.Find<QListWidget>("L_kjh")->count(), 120);

    // A newer table that also delivers a known draw with other numbers: the list shows both.
    std::vector<std::string> lines = FeedLines(214, 120);
    lines[5] = lines[5].substr(0, 4) + "01,02,03,04,05";
    shell.Server().Answer(200, FeedResponse(lines));
    ASSERT_TRUE(shell.Fetch());
    auto* list = shell.Find<QListWidget>("L_kjh");
    const std::vector<std::string> shown = DrawListLines(shell.Tables().DrawHistory());
    ASSERT_EQ(list->count(), 120);
    for (int i = 0; i < 120; ++i) EXPECT_EQ(list->item(i)->text().toStdString(), shown[i]) << i;
    EXPECT_EQ(shown[5], lines[5].substr(0, 3) + ":01,02,03,04,05");
}

TEST(Feed, SecondUpdateOnwardsRunsTheAfterDrawPipeline) {
    Shell shell;
    ASSERT_TRUE(shell.FetchFeed(150));
    EXPECT_EQ(shell.Window().PipelineRuns(), 0);
    ASSERT_TRUE(shell.FetchFeed(151));
    EXPECT_EQ(shell.Window().PipelineRuns(), 1);
    ASSERT_TRUE(shell.FetchFeed(151));  // no update
    EXPECT_EQ(shell.Window().PipelineRuns(), 1);
}

TEST(Feed, TimeOutEndsInCannotConnectAndTheWindowKeepsRunning) {
    Shell shell(250);
    shell.Server().Answer(200, FeedResponse(FeedLines(150, 120)), 1200ms);
    auto* button = shell.Find<QPushButton>("Cshoudong");
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    button->click();
    EXPECT_TRUE(shell.Window().FetchInFlight());
    EXPECT_FALSE(button->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.Window().FetchInFlight(); }, 5000));
    EXPECT_EQ(StatusOf(shell), QStringLiteral("无法连接：1秒内没有应答"));
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(shell.Tables().UpdateCount(), 0);
    // Timers kept firing while the request was out.
    EXPECT_GE(ticks, 5);
}

TEST(Feed, ATricklingServerCannotHoldAFetchPastTheLimit) {
    // Bytes keep coming, so no silence ever lasts; only a limit on the whole exchange ends it.
    TrickleServer trickle(50);
    DataFolder data;
    MessageRecorder messages;
    Fmain window(FmainOptions{data.Path() + "/data", {trickle.Url(), kTestToken}, 4000});
    ASSERT_TRUE(window.ApplyStartupDefaults());
    auto* button = window.findChild<QPushButton*>("Cshoudong");
    auto* waiting = window.findChild<QLabel*>("L_dengdai");
    auto* status = window.findChild<QLineEdit*>("Tnew");
    ASSERT_TRUE(waiting);
    EXPECT_TRUE(waiting->isHidden());
    const QString statusBefore = status->text();
    QSignalSpy handled(&window, &Fmain::fetchHandled);

    // While the request is out its own indicator counts the seconds; the status line keeps
    // its text.
    button->click();
    EXPECT_FALSE(waiting->isHidden());
    EXPECT_EQ(waiting->text(), QStringLiteral("等待应答 0 秒"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return waiting->text() != "等待应答 0 秒"; }, 10000));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^等待应答 [1-9][0-9]* 秒$"))
                    .match(waiting->text())
                    .hasMatch())
        << waiting->text().toStdString();
    EXPECT_EQ(status->text(), statusBefore);
    EXPECT_EQ(handled.count(), 0);

    ASSERT_TRUE(handled.wait(30000)) << "the fetch was still out";
    EXPECT_GT(trickle.BytesSent(), 0);
    EXPECT_EQ(status->text(), QStringLiteral("无法连接：4秒内没有应答"));
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(waiting->isHidden());
    EXPECT_FALSE(window.FetchInFlight());
    EXPECT_TRUE(messages.messages().empty());

    // The settings exchange goes through the same door and meets the same limit.
    HttpClient client;
    client.SetTimeoutMs(300);
    std::optional<std::string> answer;
    client.HttpRequest("POST", trickle.Url() + "/11xuan5/huaxian/save.asp?lx=2&zt=2&", {},
                       [&](const HttpReply& reply) { answer = reply.Body(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 30000));
    EXPECT_EQ(*answer, "");
}

TEST(Feed, CountdownFetchesOnlyWhenTickedAndSkipsWhileOneIsOut) {
    Shell shell;
    Fmain& w = shell.Window();
    auto* label = shell.Find<QLabel>("L_djs");
    // Unticked: the tick that shows 0 only reminds.
    shell.Tables().CountdownSeconds = 1;
    w.CountdownTick();
    EXPECT_EQ(label->text(), "1");
    w.CountdownTick();
    EXPECT_EQ(label->text(), "0");
    EXPECT_EQ(StatusOf(shell), QStringLiteral("自动更新未勾选"));
    EXPECT_EQ(shell.Tables().CountdownSeconds, 30);
    EXPECT_FALSE(w.FetchInFlight());
    EXPECT_TRUE(shell.Server().Requests().empty());

    // Ticked: a fetch of every watched region; a second one coming due while they are out is
    // skipped.
    shell.Find<QCheckBox>("Cauto")->setChecked(true);
    shell.Server().Answer(200, FeedResponse(FeedLines(150, 120)), 400ms);
    shell.Tables().CountdownSeconds = 0;
    w.CountdownTick();
    EXPECT_TRUE(w.FetchInFlight());
    EXPECT_FALSE(shell.Find<QPushButton>("Cshoudong")->isEnabled());
    shell.Tables().CountdownSeconds = 0;
    w.CountdownTick();
    w.ManualFetch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.FetchInFlight(); }, 5000));
    const auto requests = shell.Server().Requests();
    // The three go out together and may arrive in any order.
    std::set<std::string> regions;
    for (const RecordedRequest& request : requests)
        regions.insert(request.query.substr(request.query.find("cz="), 4));
    EXPECT_EQ(regions, (std::set<std::string>{"cz=1", "cz=2", "cz=3"}));
    EXPECT_EQ(requests.size(), 3u);
    EXPECT_EQ(StatusOf(shell), QStringLiteral("已经开奖！"));
    EXPECT_EQ(shell.Tables().UpdateCount(), 1);
}

TEST(Feed, CountdownTimerCountsDownOncePerSecond) {
    Shell shell;
    auto* label = shell.Find<QLabel>("L_djs");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !label->text().isEmpty(); }, 2500));
    EXPECT_EQ(label->text(), "30");
    EXPECT_EQ(shell.Tables().CountdownSeconds, 29);
}

TEST(Feed, ClosingTheWindowWhileAFetchIsOutIsSafe) {
    FeedServer server;
    server.Answer(200, FeedResponse(FeedLines(150, 120)), 300ms);
    DataFolder data;
    MessageRecorder messages;
    {
        Fmain window(FmainOptions{data.Path() + "/data", {server.Url(), kTestToken}, 5000});
        ASSERT_TRUE(window.ApplyStartupDefaults());
        window.ManualFetch();
        ASSERT_TRUE(window.FetchInFlight());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !server.Requests().empty(); }, 5000));
    }
    // Whatever the network layer still delivers finds no window.
    QTest::qWait(400);
    EXPECT_TRUE(messages.messages().empty());
    server.Stop();
}

TEST(HttpRequest, GetWithoutContentTypePostWithIt) {
    FeedServer server;
    server.Answer(200, "hello");
    HttpClient client;
    std::vector<std::string> answers;
    client.HttpRequest("GET", server.Url() + "/11xuan5/huaxian/login.asp?x=1", {},
                       [&](const HttpReply& reply) { answers.push_back(reply.Body()); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 1; }, 5000));
    client.HttpRequest("POST", server.Url() + "/11xuan5/huaxian/login.asp", "k=v",
                       [&](const HttpReply& reply) { answers.push_back(reply.Body()); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 2; }, 5000));
    // A URL that cannot be requested answers empty, asynchronously.
    client.HttpRequest("POST", "not a url", {}, [&](const HttpReply& reply) {
        answers.push_back(reply.Body().empty() ? "<empty>" : reply.Body());
    });
    EXPECT_EQ(answers.size(), 2u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 3; }, 5000));
    client.ClearConnectionCache();

    EXPECT_EQ(answers, (std::vector<std::string>{"hello", "hello", "<empty>"}));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].query, "x=1");
    EXPECT_EQ(requests[0].contentType, "");
    EXPECT_EQ(requests[0].authorization, "");
    EXPECT_EQ(requests[1].method, "POST");
    EXPECT_EQ(requests[1].contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(requests[1].body, "k=v");
}

}  // namespace
}  // namespace xuan5::ui::test
