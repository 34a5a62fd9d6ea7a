#include "ui/common/config.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace xuan5::ui {

namespace {

// A trailing "/" of an address is dropped, so that paths can follow it.
QString AddressOf(const QString& url) {
    return QString::fromStdString(std::string(xuan5::WithoutTrailingSlashes(url.toStdString())));
}

// The installed defaults, relative to the installed program (bin/ beside share/).
constexpr const char* kInstalledDefaults = "../share/xuan5";

}  // namespace

QString UserConfigFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("xuan5"));
}

QString WindowPlaceFile() {
    return QDir(UserConfigFolder()).filePath(QStringLiteral("window.conf"));
}

QString PanelSettingsFile() {
    return QDir(UserConfigFolder()).filePath(QStringLiteral("settings.conf"));
}

QString ManualIndexFile(const QString& exeDir) {
    return QDir::cleanPath(
        QDir(exeDir).absoluteFilePath(QStringLiteral("../share/doc/xuan5/manual/index.html")));
}

ServiceSettings ReadServiceIni(const QString& file) {
    ServiceSettings settings;
    if (!QFileInfo(file).isFile()) return settings;
    const QSettings ini(file, QSettings::IniFormat);
    const QString url = ini.value(QStringLiteral("url")).toString().trimmed();
    if (!url.isEmpty()) settings.url = AddressOf(url);
    settings.token = ini.value(QStringLiteral("token")).toString().trimmed();
    const QString ca = ini.value(QStringLiteral("ca")).toString().trimmed();
    if (!ca.isEmpty()) settings.ca = QFileInfo(file).absoluteDir().absoluteFilePath(ca);
    return settings;
}

DataFolderChoice DefaultDataFolder(const QString& exeDir) {
    const QDir exe(exeDir);
    const QString beside = QDir::cleanPath(exe.absoluteFilePath(QStringLiteral("data")));
    const QString installed =
        QDir::cleanPath(exe.absoluteFilePath(QString::fromLatin1(kInstalledDefaults)));
    if (QFileInfo(beside).isDir() ||
        !QFileInfo(QDir(installed).filePath(QStringLiteral("data.mdb"))).isFile())
        return {beside, {}};
    const QString home = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (home.isEmpty()) return {beside, {}};
    return {QDir::cleanPath(home), installed};
}

bool SeedDataFolder(const QString& dir, const QString& defaults, QString& error) {
    if (QFileInfo::exists(dir)) return true;
    const QString parent = QFileInfo(dir).absolutePath();
    if (!QDir().mkpath(parent)) {
        error = QStringLiteral("cannot create %1").arg(parent);
        return false;
    }
    QTemporaryDir staging(dir + QStringLiteral(".tmp-XXXXXX"));
    if (!staging.isValid()) {
        error = QStringLiteral("cannot create a folder in %1").arg(parent);
        return false;
    }
    const QDir from(defaults);
    const QDir to(staging.path());
    for (const QString& name : from.entryList(QDir::Files)) {
        const QString copy = to.filePath(name);
        // The installed files may be read-only; the user's copies must not be.
        if (!QFile::copy(from.filePath(name), copy) ||
            !QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ReadGroup | QFileDevice::ReadOther)) {
            error = QStringLiteral("cannot copy %1 into %2").arg(from.filePath(name), dir);
            return false;
        }
    }
    if (!to.mkdir(QStringLiteral("txt")) || !QDir().rename(staging.path(), dir)) {
        // Another start may have seeded the folder meanwhile; then it is there to use.
        if (QFileInfo(dir).isDir()) return true;
        error = QStringLiteral("cannot create %1").arg(dir);
        return false;
    }
    staging.setAutoRemove(false);
    return true;
}

ConfigResult ParseArguments(const QStringList& args, const QString& exeDir) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("11选5 trend-line analysis"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption data(
        QStringLiteral("data"),
        QStringLiteral("Data folder (default: data beside the program; installed: the user's "
                       "application data folder, ~/.local/share/xuan5)."),
        QStringLiteral("DIR"));
    const QCommandLineOption service(
        QStringLiteral("service"),
        QStringLiteral("Result service address (default: url= of DIR/service.ini, else %1).")
            .arg(QString::fromLatin1(kDefaultServiceUrl)),
        QStringLiteral("URL"));
    const QCommandLineOption token(QStringLiteral("token"),
                                   QStringLiteral("Access token (default: token= of "
                                                  "DIR/service.ini)."),
                                   QStringLiteral("TOKEN"));
    const QCommandLineOption ca(
        QStringLiteral("ca"),
        QStringLiteral("Certificates (PEM) to trust for an https:// service besides the "
                       "system's, such as a self-signed one (default: ca= of DIR/service.ini)."),
        QStringLiteral("FILE"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Render the window offscreen into a PNG file and exit."),
        QStringLiteral("FILE"));
    const QCommandLineOption panel(
        QStringLiteral("panel"),
        QStringLiteral("Panel shown in the screenshot: 0 画线, 1 监控, 2 计划, 3 断组, 4 回测."),
        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption size(
        QStringLiteral("size"),
        QStringLiteral("Window size of the screenshot, WIDTHxHEIGHT (default %1x%2; the "
                       "window's smallest is %3x%4).")
            .arg(kStartWidth)
            .arg(kStartHeight)
            .arg(kMinimumWidth)
            .arg(kMinimumHeight),
        QStringLiteral("WxH"), QStringLiteral("%1x%2").arg(kStartWidth).arg(kStartHeight));
    const QCommandLineOption fetch(
        QStringLiteral("fetch"),
        QStringLiteral("Press 手动更新 and wait for the answer before the screenshot; exit 1 if "
                       "it is not handled in time."));
    const QCommandLineOption printConfig(
        QStringLiteral("print-config"),
        QStringLiteral("Print the data folder, the service address and the token (data=, url=, "
                       "token= lines) and exit."));
    parser.addOptions({data, service, token, ca, screenshot, panel, size, fetch, printConfig});

    ConfigResult result;
    if (!parser.parse(QStringList{QStringLiteral("xuan5")} + args)) {
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        result.output = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.output = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                      QCoreApplication::applicationVersion());
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = QStringLiteral("unexpected argument: ") + parser.positionalArguments()[0];
        return result;
    }

    AppConfig config;
    bool ok = false;
    config.panel = parser.value(panel).toInt(&ok);
    if (!ok || config.panel < 0 || config.panel > 4) {
        result.error = QStringLiteral("--panel takes 0, 1, 2, 3 or 4");
        return result;
    }
    const QStringList sides = parser.value(size).split(QLatin1Char('x'));
    bool wide = false, high = false;
    if (sides.size() == 2) {
        config.screenshotSize = QSize(sides[0].toInt(&wide), sides[1].toInt(&high));
    }
    if (!wide || !high || config.screenshotSize.width() < 1 || config.screenshotSize.height() < 1 ||
        config.screenshotSize.width() > 10000 || config.screenshotSize.height() > 10000) {
        result.error = QStringLiteral("--size takes WIDTHxHEIGHT, such as 1280x720");
        return result;
    }
    if (parser.isSet(data))
        config.data = {QDir::cleanPath(QFileInfo(parser.value(data)).absoluteFilePath()), {}};
    else
        config.data = DefaultDataFolder(exeDir);
    if (parser.isSet(service)) config.serviceUrl = parser.value(service);
    if (parser.isSet(token)) config.token = parser.value(token);
    if (parser.isSet(ca)) config.ca = QFileInfo(parser.value(ca)).absoluteFilePath();
    if (parser.isSet(screenshot))
        config.screenshotFile = QFileInfo(parser.value(screenshot)).absoluteFilePath();
    config.fetch = parser.isSet(fetch);
    config.printConfig = parser.isSet(printConfig);
    result.config = config;
    return result;
}

ServiceSettings ServiceFor(const AppConfig& config) {
    ServiceSettings settings =
        ReadServiceIni(QDir(config.data.dir).filePath(QStringLiteral("service.ini")));
    if (config.serviceUrl) settings.url = AddressOf(*config.serviceUrl);
    if (config.token) settings.token = *config.token;
    if (config.ca) settings.ca = *config.ca;
    return settings;
}

QString ConfigText(const AppConfig& config, const ServiceSettings& service) {
    QString text = QStringLiteral("data=%1\nurl=%2\ntoken=%3\n")
                       .arg(config.data.dir, service.url, service.token);
    if (!service.ca.isEmpty()) text += QStringLiteral("ca=%1\n").arg(service.ca);
    return text;
}

}  // namespace xuan5::ui
