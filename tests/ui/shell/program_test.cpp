// The program as a user or a script starts it: screenshot mode, start-up failure, bad usage.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ProgramRun RunProgram(const QStringList& args, const QString& program = XUAN5_PROGRAM,
                      const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    ProgramRun run;
    if (!process.waitForFinished(60000)) return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// A machine without a display, where starting the window system would fail.
QProcessEnvironment NoDisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    return env;
}

QString ValueOf(const QString& printed, const QString& key) {
    for (const QString& line : printed.split('\n'))
        if (line.startsWith(key + "=")) return line.mid(key.size() + 1);
    return "<missing " + key + ">";
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
    // The window icon is built into the program; Qt names the file when it cannot open it.
    EXPECT_FALSE(run.err.contains("xuan5.svg")) << run.err.toStdString();
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

TEST(Program, HelpVersionAndPrintConfigNeedNoDisplay) {
    ProgramRun run = RunProgram({"--help"}, XUAN5_PROGRAM, NoDisplay());
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    for (const char* option : {"--data", "--service", "--token", "--screenshot", "--panel",
                               "--fetch", "--print-config", "--version"})
        EXPECT_TRUE(run.out.contains(option)) << option;

    run = RunProgram({"--version"}, XUAN5_PROGRAM, NoDisplay());
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(QRegularExpression("^xuan5 \\d+\\.\\d+\\.\\d+\n$").match(run.out).hasMatch())
        << run.out.toStdString();

    // A build-tree program keeps its data beside itself; the arguments win over service.ini.
    run = RunProgram({"--print-config", "--token", "cli-token"}, XUAN5_PROGRAM, NoDisplay());
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(ValueOf(run.out, "data"),
              QDir::cleanPath(QFileInfo(XUAN5_PROGRAM).absolutePath() + "/data"));
    EXPECT_EQ(ValueOf(run.out, "url"), "http://127.0.0.1:8611");
    EXPECT_EQ(ValueOf(run.out, "token"), "cli-token");

    run = RunProgram({"--bogus"}, XUAN5_PROGRAM, NoDisplay());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("bogus")) << run.err.toStdString();
}

TEST(Program, InstalledProgramKeepsItsDataInTheUsersFolderSeededOnce) {
    // An installed layout: bin/xuan5 and the defaults in share/xuan5, nothing beside the program.
    QTemporaryDir root;
    const QDir prefix(root.filePath("usr"));
    ASSERT_TRUE(prefix.mkpath("bin") && prefix.mkpath("share/xuan5") &&
                QDir(root.path()).mkdir("home"));
    const QString program = prefix.filePath("bin/xuan5");
    ASSERT_TRUE(QFile::copy(XUAN5_PROGRAM, program));
    DataFolder defaults;
    ASSERT_TRUE(QFile::copy(defaults.StorePath(), prefix.filePath("share/xuan5/data.mdb")));
    QFile ini(prefix.filePath("share/xuan5/service.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("url=http://127.0.0.1:8611\ntoken=\n");
    ini.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", root.filePath("home"));
    env.remove("XDG_DATA_HOME");
    const QString userData = root.filePath("home/.local/share/xuan5");

    ProgramRun run = RunProgram({"--screenshot", root.filePath("shot.png")}, program, env);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile seeded(userData + "/data.mdb");
    ASSERT_TRUE(seeded.open(QIODevice::ReadOnly));
    EXPECT_EQ(seeded.readAll().toStdString(), defaults.ReadStore());
    seeded.close();
    EXPECT_TRUE(QFileInfo(userData + "/txt").isDir());
    EXPECT_TRUE(QFileInfo(userData + "/service.ini").isFile());
    EXPECT_FALSE(QFileInfo::exists(prefix.filePath("bin/data")));

    // The user's own store is never replaced by the defaults again.
    DataFolder own(3);
    ASSERT_TRUE(QFile::remove(userData + "/data.mdb"));
    ASSERT_TRUE(QFile::copy(own.StorePath(), userData + "/data.mdb"));
    run = RunProgram({"--print-config"}, program, env);
    EXPECT_EQ(ValueOf(run.out, "data"), userData);
    run = RunProgram({"--screenshot", root.filePath("shot2.png")}, program, env);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_TRUE(seeded.open(QIODevice::ReadOnly));
    EXPECT_EQ(seeded.readAll().toStdString(), own.ReadStore());
    // Only the one folder was made in the user's data home.
    EXPECT_EQ(
        QDir(root.filePath("home/.local/share")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList{"xuan5"});

    // --data still chooses any folder.
    run = RunProgram({"--data", defaults.Path() + "/data", "--print-config"}, program, env);
    EXPECT_EQ(ValueOf(run.out, "data"), QDir::cleanPath(defaults.Path() + "/data"));
}

}  // namespace
}  // namespace xuan5::ui::test
