// Where the program looks for its data and its service.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ui/config.h"

namespace xuan5::ui {
namespace {

void Write(const QString& file, const QByteArray& bytes) {
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(bytes);
}

TEST(Config, ServiceIniKeysCommentsAndDefaults) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("service.ini");
    EXPECT_EQ(ReadServiceIni(ini).url, "http://127.0.0.1:8611");
    EXPECT_EQ(ReadServiceIni(ini).token, "");

    Write(ini, "# comment\r\n[service]\r\n url = http://10.1.2.3:9000/ \r\ntoken=abc=def\r\n");
    ServiceSettings s = ReadServiceIni(ini);
    EXPECT_EQ(s.url, "http://10.1.2.3:9000");
    EXPECT_EQ(s.token, "abc=def");

    Write(ini, "url=\ntoken=\n; nothing set\n");
    s = ReadServiceIni(ini);
    EXPECT_EQ(s.url, "http://127.0.0.1:8611");
    EXPECT_EQ(s.token, "");
}

TEST(Config, ArgumentsOverrideTheIniOfTheChosenDataFolder) {
    QTemporaryDir exe, other;
    QDir(exe.path()).mkdir("data");
    Write(exe.filePath("data/service.ini"), "url=http://a:1\ntoken=beside\n");
    Write(other.filePath("service.ini"), "url=http://b:2\ntoken=other\n");

    ConfigResult r = ParseArguments({}, exe.path());
    ASSERT_TRUE(r.config);
    EXPECT_EQ(r.config->dataDir, QDir::cleanPath(exe.filePath("data")));
    EXPECT_EQ(r.config->service.url, "http://a:1");
    EXPECT_EQ(r.config->service.token, "beside");
    EXPECT_TRUE(r.config->screenshotFile.isEmpty());

    r = ParseArguments({"--data", other.path()}, exe.path());
    ASSERT_TRUE(r.config);
    EXPECT_EQ(r.config->dataDir, QDir::cleanPath(other.path()));
    EXPECT_EQ(r.config->service.token, "other");

    r = ParseArguments({"--data", other.path(), "--service", "http://c:3/", "--token", "cli"},
                       exe.path());
    ASSERT_TRUE(r.config);
    EXPECT_EQ(r.config->service.url, "http://c:3");
    EXPECT_EQ(r.config->service.token, "cli");

    r = ParseArguments({"--screenshot", "shot.png", "--panel", "4", "--fetch"}, exe.path());
    ASSERT_TRUE(r.config);
    EXPECT_TRUE(QFileInfo(r.config->screenshotFile).isAbsolute());
    EXPECT_TRUE(r.config->screenshotFile.endsWith("/shot.png"));
    EXPECT_EQ(r.config->panel, 4);
    EXPECT_TRUE(r.config->fetch);
}

TEST(Config, BadArgumentsAreRefused) {
    for (const QStringList& args :
         {QStringList{"--panel", "5"}, QStringList{"--panel", "x"}, QStringList{"--data"},
          QStringList{"--bogus"}, QStringList{"--token"}}) {
        const ConfigResult r = ParseArguments(args, "/tmp");
        EXPECT_FALSE(r.config) << args.join(' ').toStdString();
        EXPECT_FALSE(r.error.isEmpty());
    }
}

}  // namespace
}  // namespace xuan5::ui
