// Where the program looks for its data and its service.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "ui/common/config.h"

namespace xuan5::ui {
namespace {

void Write(const QString& file, const QByteArray& bytes) {
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(bytes);
}

QByteArray Read(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<unreadable>");
}

TEST(Config, ServiceIniKeysCommentsAndDefaults) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("service.ini");
    EXPECT_EQ(ReadServiceIni(ini).url, "http://127.0.0.1:8611");
    EXPECT_EQ(ReadServiceIni(ini).token, "");

    Write(ini, "; written by hand\r\n url = http://10.1.2.3:9000/ \r\ntoken=abc=def\r\n");
    ServiceSettings s = ReadServiceIni(ini);
    EXPECT_EQ(s.url, "http://10.1.2.3:9000");
    EXPECT_EQ(s.token, "abc=def");

    // Keys inside another section are not the service's.
    Write(ini, "url=\ntoken=\n[other]\nurl=http://elsewhere:1\ntoken=x\n");
    s = ReadServiceIni(ini);
    EXPECT_EQ(s.url, "http://127.0.0.1:8611");
    EXPECT_EQ(s.token, "");

    // A folder where the file should be reads as no file.
    QDir(dir.path()).mkdir("folder.ini");
    EXPECT_EQ(ReadServiceIni(dir.filePath("folder.ini")).url, "http://127.0.0.1:8611");
}

TEST(Config, ArgumentsOverrideTheIniOfTheChosenDataFolder) {
    QTemporaryDir exe, other;
    QDir(exe.path()).mkdir("data");
    Write(exe.filePath("data/service.ini"), "url=http://a:1\ntoken=beside\n");
    Write(other.filePath("service.ini"), "url=http://b:2\ntoken=other\n");

    ConfigResult r = ParseArguments({}, exe.path());
    ASSERT_TRUE(r.config);
    EXPECT_EQ(r.config->data.dir, QDir::cleanPath(exe.filePath("data")));
    EXPECT_TRUE(r.config->data.seedFrom.isEmpty());
    EXPECT_EQ(ServiceFor(*r.config).url, "http://a:1");
    EXPECT_EQ(ServiceFor(*r.config).token, "beside");
    EXPECT_TRUE(r.config->screenshotFile.isEmpty());
    EXPECT_FALSE(r.config->printConfig);

    r = ParseArguments({"--data", other.path()}, exe.path());
    ASSERT_TRUE(r.config);
    EXPECT_EQ(r.config->data.dir, QDir::cleanPath(other.path()));
    EXPECT_EQ(ServiceFor(*r.config).token, "other");

    r = ParseArguments(
        {"--data", other.path(), "--service", "http://c:3/", "--token", "cli", "--print-config"},
        exe.path());
    ASSERT_TRUE(r.config);
    const ServiceSettings service = ServiceFor(*r.config);
    EXPECT_EQ(service.url, "http://c:3");
    EXPECT_EQ(service.token, "cli");
    EXPECT_EQ(ConfigText(*r.config, service),
              "data=" + QDir::cleanPath(other.path()) + "\nurl=http://c:3\ntoken=cli\n");

    r = ParseArguments(
        {"--screenshot", "shot.png", "--panel", "4", "--fetch", "--size", "1280x720"}, exe.path());
    ASSERT_TRUE(r.config);
    EXPECT_TRUE(QFileInfo(r.config->screenshotFile).isAbsolute());
    EXPECT_TRUE(r.config->screenshotFile.endsWith("/shot.png"));
    EXPECT_EQ(r.config->panel, 4);
    EXPECT_EQ(r.config->screenshotSize, QSize(1280, 720));
    EXPECT_TRUE(r.config->fetch);
}

TEST(Config, BadArgumentsAreRefusedHelpAndVersionAnswer) {
    for (const QStringList& args :
         {QStringList{"--panel", "5"}, QStringList{"--panel", "x"}, QStringList{"--data"},
          QStringList{"--size", "1280"}, QStringList{"--size", "0x720"}, QStringList{"--bogus"},
          QStringList{"--token"}, QStringList{"stray"}}) {
        const ConfigResult r = ParseArguments(args, "/tmp");
        EXPECT_FALSE(r.config) << args.join(' ').toStdString();
        EXPECT_TRUE(r.output.isEmpty());
        EXPECT_FALSE(r.error.isEmpty());
    }
    ConfigResult r = ParseArguments({"--data", "/x", "--help"}, "/tmp");
    EXPECT_FALSE(r.config);
    EXPECT_TRUE(r.output.contains("--screenshot <FILE>")) << r.output.toStdString();
    r = ParseArguments({"--version"}, "/tmp");
    EXPECT_FALSE(r.config);
    EXPECT_FALSE(r.output.isEmpty());
}

TEST(Config, InstalledProgramUsesTheUsersFolderSeededFromTheDefaults) {
    QTemporaryDir root;
    const QDir prefix(root.filePath("usr"));
    ASSERT_TRUE(prefix.mkpath("bin") && prefix.mkpath("share/xuan5"));
    const QString exeDir = prefix.filePath("bin");
    // Not installed yet (no defaults): data beside the program, as before.
    EXPECT_EQ(DefaultDataFolder(exeDir).dir, QDir::cleanPath(exeDir + "/data"));
    EXPECT_TRUE(DefaultDataFolder(exeDir).seedFrom.isEmpty());

    Write(prefix.filePath("share/xuan5/data.mdb"), "store");
    Write(prefix.filePath("share/xuan5/service.ini"), "url=http://127.0.0.1:8611\n");
    QFile::setPermissions(prefix.filePath("share/xuan5/data.mdb"), QFileDevice::ReadOwner);
    const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", root.filePath("home-data").toLocal8Bit());
    const DataFolderChoice installed = DefaultDataFolder(exeDir);
    const QString expected =
        QDir::cleanPath(root.filePath("home-data") + "/" + QCoreApplication::applicationName());
    EXPECT_EQ(installed.dir, expected);
    EXPECT_EQ(installed.seedFrom, QDir::cleanPath(prefix.filePath("share/xuan5")));

    QString error;
    ASSERT_TRUE(SeedDataFolder(installed.dir, installed.seedFrom, error)) << error.toStdString();
    EXPECT_EQ(Read(installed.dir + "/data.mdb"), "store");
    EXPECT_TRUE(QFileInfo(installed.dir + "/data.mdb").isWritable());
    EXPECT_EQ(Read(installed.dir + "/service.ini"), "url=http://127.0.0.1:8611\n");
    EXPECT_TRUE(QFileInfo(installed.dir + "/txt").isDir());
    // Nothing else was left in the parent folder.
    EXPECT_EQ(QDir(root.filePath("home-data")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QCoreApplication::applicationName()});

    // A second start leaves the user's folder alone.
    Write(installed.dir + "/data.mdb", "mine");
    ASSERT_TRUE(SeedDataFolder(installed.dir, installed.seedFrom, error));
    EXPECT_EQ(Read(installed.dir + "/data.mdb"), "mine");

    // A data folder beside the program (a build tree) wins.
    QDir(exeDir).mkdir("data");
    EXPECT_EQ(DefaultDataFolder(exeDir).dir, QDir::cleanPath(exeDir + "/data"));

    // A folder that cannot be made is reported.
    Write(root.filePath("blocker"), "a file");
    EXPECT_FALSE(SeedDataFolder(root.filePath("blocker/xuan5"), installed.seedFrom, error));
    EXPECT_FALSE(error.isEmpty());

    if (oldDataHome.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", oldDataHome);
}

}  // namespace
}  // namespace xuan5::ui
