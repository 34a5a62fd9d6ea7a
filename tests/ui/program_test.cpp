// The program as a user or a script starts it: screenshot mode, start-up failure, bad usage.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

struct ProgramRun {
    int exitCode = -1;
    QString err;
};

ProgramRun RunProgram(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(XUAN5_PROGRAM), args);
    ProgramRun run;
    if (!process.waitForFinished(60000)) return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

TEST(Program, ScreenshotFetchesShowsThePanelAndExits) {
    DataFolder data;
    FeedServer server;
    server.Answer(200, FeedResponse(FeedLines(150, 120)));
    QTemporaryDir out;
    const QString shot = out.filePath("panel2.png");
    const ProgramRun run =
        RunProgram({"--data", data.Path() + "/data", "--service", server.Url(), "--token",
                    kTestToken, "--screenshot", shot, "--panel", "2", "--fetch"});
    server.Stop();
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage image(shot);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(1366, 768));
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].authorization, std::string("Bearer ") + kTestToken);
}

TEST(Program, MissingStoreEndsWithTheMessagesAndBadUsageIsRefused) {
    QTemporaryDir empty;
    QTemporaryDir out;
    ProgramRun run = RunProgram({"--data", empty.path(), "--screenshot", out.filePath("x.png")});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(QStringLiteral("目录\\data下缺少文件data.mdb")))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("本软件将关闭")));
    EXPECT_FALSE(QFile::exists(out.filePath("x.png")));

    run = RunProgram({"--screenshot", out.filePath("x.png"), "--panel", "9"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("--panel")) << run.err.toStdString();
}

}  // namespace
}  // namespace xuan5::ui::test
