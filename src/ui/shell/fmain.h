// The main window: the always-visible strip (region, feed, draw list, manual entry), the five
// panels in one place, the backup strip and the start-up sequence. Its code is spread over
// fmain.cpp (building and wiring), strip.cpp (the strip's controls) and startup.cpp (the start-up
// steps); the feed behind the strip is the FeedController's.
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/common/app_context.h"
#include "ui/common/config.h"
#include "ui/common/http_request.h"
#include "ui/common/panel_links.h"
#include "ui/shell/feed_controller.h"

class QCheckBox;
class QLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSettings;
class QTimer;

namespace xuan5::ui {

class ArchiveService;
class BackupStrip;
class BacktestPanel;
class ColorButton;
class DrawPanel;
class Fbangzhu;
class FeedController;
class MonitorPanel;
class PlanPanel;
class SortPanel;

// The panels the window holds, in the order of their buttons, and the strip under them.
struct MainPanels {
    DrawPanel* draw = nullptr;          // panel 0, "画线"
    MonitorPanel* monitor = nullptr;    // panel 1, "监控"
    PlanPanel* plan = nullptr;          // panel 2, "计划"
    SortPanel* sort = nullptr;          // panel 3, "断组"
    BacktestPanel* backtest = nullptr;  // panel 4, "回测"
    BackupStrip* backup = nullptr;      // the strip along the bottom
};

struct FmainOptions {
    QString dataDir;
    ServiceSettings service;
    int requestTimeoutMs = kHttpTimeoutMs;
    // Only the panel shown and the strips are built before the first paint; each other panel at
    // its first showing or first use. Otherwise every panel is built with the window.
    bool panelsWhenNeeded = false;
};

inline constexpr int kPanelCount = 5;

class Fmain : public QWidget {
    Q_OBJECT
  public:
    explicit Fmain(FmainOptions options, QWidget* parent = nullptr);
    ~Fmain() override;

    // The load step, in start-up.cpp. False when the curve store is missing or damaged: the
    // two messages have been shown and the program must end.
    bool ApplyStartupDefaults();

    AppContext& Context() { return *ctx_; }
    Session& Tables() { return ctx_->session; }
    // Every panel, built if it was not yet.
    const MainPanels& Panels();
    // Whether panel `index` has been built.
    bool PanelBuilt(int index) const;
    FeedController& Feed() { return *feed_; }
    // The shown region's fetch is out.
    bool FetchInFlight() const;
    int CurrentPanel() const { return currentPanel_; }
    // How often new draws of the shown region were judged since start.
    int PipelineRuns() const;
    // A table arrived while a plan or another table was being applied and waits for its end.
    bool ApplyPending() const;
    // The first fetch after the window is shown: every watched region.
    void StartFeed();
    // Fetches every watched region once the window has first been painted.
    void StartFeedWhenShown() { feedWhenShown_ = true; }

    // Restores every panel's setting boxes and ticks and "自动更新" from the settings file
    // `file` and keeps them there from now on; after the start-up defaults, which it overrides.
    void KeepSettings(const QString& file);

    // The manual's first page; by default the one beside the program (ManualIndexFile).
    void SetManualFile(const QString& file) { manualFile_ = file; }

    // How the program ends (after "Yes" to the close question or a broken curve store); the
    // default quits the event loop with the code.
    void SetEndApplication(std::function<void(int)> end) {
        ctx_->services.endApplication = std::move(end);
    }

    // Handlers; "pressing" a control from code calls these.
    void ShowPanel(int index);  // C_sst_0(index)
    // Op_lx(index): shows the region's own book and fetches its draws at once. While a plan or
    // a table is being applied, the switch waits for its end.
    void SelectRegion(int index);
    void ManualFetch();      // Cshoudong
    void FetchDraws();       // the shown region; skipped while its fetch is in flight
    void CountdownTick();    // Timer_gx
    void ApplyDraws();       // Command1: applies the staged table
    void OpenManualEntry();  // C_rulu_kjh
    void ApplyTypedDraw();   // Timer_add_kjh
    void BuildBets();        // Timer_fuzhi
    void ShowTerms();        // C_xieyi
    void ShowManual();       // C_bangzhu and F1: the manual in its own window

  signals:
    // A fetch's answer for `region` has been handled (whatever it was).
    void fetchHandled(int region);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    // What waits for the first paint: the other regions' books, the whole records file read
    // once, and the first fetch.
    void AfterFirstPaint();
    void BuildLayout();
    // Builds panel `index` into its place, with its start-up defaults, its kept settings and the
    // shown region's book, when it was not built yet.
    void BuildPanel(int index);
    void ApplyPanelDefaults(int index);
    void KeepPanelSettings(int index);
    QLayout* BuildStrip();  // strip.cpp
    void WireLinks();

    const bool panelsWhenNeeded_;
    // Created first and destroyed last: every panel and window holds a reference to it.
    std::unique_ptr<AppContext> ctx_;
    PanelLinks links_;
    MainPanels panels_;
    ArchiveService* archive_ = nullptr;
    FeedController* feed_ = nullptr;
    QPointer<Fbangzhu> manual_;  // the open manual window, if any
    int currentPanel_ = 0;
    bool startedUp_ = false;         // the start-up defaults have been applied
    QSettings* settings_ = nullptr;  // the kept settings, once KeepSettings has named them
    bool painted_ = false;
    bool feedWhenShown_ = false;

    FeedControls feedControls_;
    QPushButton* applyStaged_;
    QPushButton* terms_;
    QPushButton* help_;
    QString manualFile_;
    QPlainTextEdit* termsText_;
    QGroupBox* disclaimer_;
    std::array<ColorButton*, kPanelCount> panelButtons_{};
    std::array<QScrollArea*, kPanelCount> panelWidgets_{};  // each panel in its scroll area
    QTimer* betsTimer_;
};

// The colours of the panel buttons: the current one cyan, the others light green.
QColor PanelButtonColor(bool current);

}  // namespace xuan5::ui
