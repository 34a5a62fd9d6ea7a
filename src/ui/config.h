// Where the program finds its data and its service: defaults, data/service.ini, command line.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace xuan5::ui {

inline constexpr const char* kDefaultServiceUrl = "http://127.0.0.1:8611";

struct ServiceSettings {
    QString url = QString::fromLatin1(kDefaultServiceUrl);
    QString token;
};

// Reads `url=` and `token=` lines; blank lines, [sections] and lines starting with # or ; are
// skipped. A missing file or key keeps the default.
ServiceSettings ReadServiceIni(const QString& file);

struct AppConfig {
    QString dataDir;  // absolute
    ServiceSettings service;
    QString screenshotFile;  // not empty: render the window offscreen into this PNG and exit
    int panel = 0;           // panel shown in the screenshot
    bool fetch = false;      // press "手动更新" before the screenshot
};

struct ConfigResult {
    std::optional<AppConfig> config;
    QString error;  // usage problem when config is empty
};

// `args` are the program's arguments without the program name. The data folder defaults to
// `data` inside `exeDir`; service.ini of the chosen folder is read, then --service and --token
// win over it.
ConfigResult ParseArguments(const QStringList& args, const QString& exeDir);

// Whether a screenshot run is asked for; looked at before the window system is chosen.
bool WantsScreenshot(int argc, char** argv);

QString UsageText();

}  // namespace xuan5::ui
