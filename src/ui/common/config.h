// Where the program finds its data and its service: defaults, data/service.ini, command line.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

#include "protocol/endpoints.h"

namespace xuan5::ui {

struct ServiceSettings {
    ServiceSettings() = default;
    ServiceSettings(QString url, QString token, QString ca = {})
        : url(std::move(url)), token(std::move(token)), ca(std::move(ca)) {}

    QString url = QString::fromLatin1(kDefaultServiceUrl);
    QString token;
    // Not empty: a PEM file of certificates trusted for an https:// service besides the
    // system's (a home server's self-signed certificate).
    QString ca;
};

// The keys `url`, `token` and `ca` of an INI file, outside any [section]. A missing file, key
// or empty value keeps the default; a trailing "/" of the address is dropped; a relative `ca`
// is taken from the INI file's folder.
ServiceSettings ReadServiceIni(const QString& file);

// The data folder used when --data is not given, and where its first content comes from.
struct DataFolderChoice {
    QString dir;       // absolute
    QString seedFrom;  // not empty: the installed defaults, copied into `dir` if it is missing
};

// `data` beside the program when it is there (a build tree, a copied program folder). An
// installed program cannot write beside itself: when there is no such folder and the installed
// defaults stand in ../share/xuan5, its data live in the user's application data folder.
DataFolderChoice DefaultDataFolder(const QString& exeDir);

// Makes `dir` a copy of the files in `defaults` when `dir` does not exist yet; an existing folder
// is the user's and is left alone. The copy is built beside `dir` and renamed into place, so an
// interrupted first start leaves no half-filled folder. False, with `error` set, on failure.
bool SeedDataFolder(const QString& dir, const QString& defaults, QString& error);

// The user's own files of the program (not his data): ~/.config/xuan5 (or under
// $XDG_CONFIG_HOME), where Qt keeps a QSettings of organisation "xuan5". window.conf holds the
// window's size, place and panel; settings.conf the setting boxes and ticks of the panels.
QString UserConfigFolder();
QString WindowPlaceFile();
QString PanelSettingsFile();

// The manual's first page for a program in `exeDir`: share/doc/xuan5/manual/index.html beside
// its bin folder, where the package installs it and the build puts it.
QString ManualIndexFile(const QString& exeDir);

// The smallest window: every control stays reachable at it, the panels scrolling when they need
// more room. It fits a 1280 x 720 screen (1920 x 1080 at 150 %) with a taskbar and a title bar.
inline constexpr int kMinimumWidth = 1000;
inline constexpr int kMinimumHeight = 600;
// The window's size on a first start (no screen smaller) and in a screenshot by default.
inline constexpr int kStartWidth = 1366;
inline constexpr int kStartHeight = 768;

struct AppConfig {
    DataFolderChoice data;
    std::optional<QString> serviceUrl;  // --service
    std::optional<QString> token;       // --token
    std::optional<QString> ca;          // --ca, absolute
    QString screenshotFile;  // not empty: render the window offscreen into this PNG and exit
    int panel = 0;           // panel shown in the screenshot
    QSize screenshotSize{kStartWidth, kStartHeight};  // in the screenshot, at least the smallest
    bool fetch = false;                               // press "手动更新" before the screenshot
    bool printConfig = false;  // print the data folder and the service, then exit
};

struct ConfigResult {
    std::optional<AppConfig> config;
    QString output;  // --help or --version: print this and exit successfully
    QString error;   // bad usage when there is neither a config nor an output
};

// `args` are the program's arguments without the program name; nothing is read or written here.
// `exeDir` is the program's folder (see DefaultDataFolder).
ConfigResult ParseArguments(const QStringList& args, const QString& exeDir);

// service.ini of the chosen data folder, then --service, --token and --ca over it.
ServiceSettings ServiceFor(const AppConfig& config);

// What --print-config prints: "data=", "url=" and "token=" lines, and "ca=" when one is set.
QString ConfigText(const AppConfig& config, const ServiceSettings& service);

}  // namespace xuan5::ui
