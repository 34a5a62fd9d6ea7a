#include "ui/config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>

namespace xuan5::ui {

namespace {

QString WithoutTrailingSlashes(QString url) {
    while (url.endsWith(QLatin1Char('/'))) url.chop(1);
    return url;
}

}  // namespace

ServiceSettings ReadServiceIni(const QString& file) {
    ServiceSettings settings;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return settings;
    const QString text = QString::fromUtf8(in.readAll());
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) ||
            line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('[')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) continue;
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("url")) {
            if (!value.isEmpty()) settings.url = WithoutTrailingSlashes(value);
        } else if (key == QLatin1String("token")) {
            settings.token = value;
        }
    }
    return settings;
}

ConfigResult ParseArguments(const QStringList& args, const QString& exeDir) {
    ConfigResult result;
    AppConfig config;
    QString dataDir = QDir(exeDir).filePath(QStringLiteral("data"));
    std::optional<QString> service, token;

    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool takesValue =
            arg == QLatin1String("--data") || arg == QLatin1String("--service") ||
            arg == QLatin1String("--token") || arg == QLatin1String("--screenshot") ||
            arg == QLatin1String("--panel");
        if (takesValue) {
            if (i + 1 >= args.size()) {
                result.error = arg + QStringLiteral(" needs a value");
                return result;
            }
            const QString value = args[++i];
            if (arg == QLatin1String("--data")) {
                dataDir = value;
            } else if (arg == QLatin1String("--service")) {
                service = value;
            } else if (arg == QLatin1String("--token")) {
                token = value;
            } else if (arg == QLatin1String("--screenshot")) {
                config.screenshotFile = QFileInfo(value).absoluteFilePath();
            } else {
                bool ok = false;
                const int panel = value.toInt(&ok);
                if (!ok || panel < 0 || panel > 4) {
                    result.error = QStringLiteral("--panel takes 0, 1, 2, 3 or 4");
                    return result;
                }
                config.panel = panel;
            }
        } else if (arg == QLatin1String("--fetch")) {
            config.fetch = true;
        } else {
            result.error = QStringLiteral("unknown argument: ") + arg;
            return result;
        }
    }

    config.dataDir = QDir::cleanPath(QFileInfo(dataDir).absoluteFilePath());
    config.service = ReadServiceIni(QDir(config.dataDir).filePath(QStringLiteral("service.ini")));
    if (service) config.service.url = WithoutTrailingSlashes(*service);
    if (token) config.service.token = *token;
    result.config = config;
    return result;
}

bool WantsScreenshot(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--screenshot") == 0) return true;
    return false;
}

QString UsageText() {
    return QStringLiteral(
        "usage: xuan5 [--data DIR] [--service URL] [--token TOKEN]\n"
        "             [--screenshot FILE [--panel 0-4] [--fetch]]\n"
        "  --data DIR        data folder (default: data beside the program)\n"
        "  --service URL     result service address (default: url= of DIR/service.ini,\n"
        "                    else http://127.0.0.1:8611)\n"
        "  --token TOKEN     access token (default: token= of DIR/service.ini)\n"
        "  --screenshot FILE render the window offscreen into a PNG file and exit\n"
        "  --panel N         panel of the screenshot: 0 画线, 1 监控, 2 计划, 3 断组, 4 回测\n"
        "  --fetch           press 手动更新 and wait for the answer before the screenshot\n");
}

}  // namespace xuan5::ui
