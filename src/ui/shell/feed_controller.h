// The feed of the main window: the countdown, fetching every watched region, applying each
// region's tables to its record book one at a time (judging, settling and planning), switching
// the shown region and typed draws. Only the region shown is repainted; the others are judged
// and planned in the background and their region buttons say how they stand.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <array>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/draw_history.h"
#include "protocol/endpoints.h"
#include "records/record_book.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;
class QWidget;

namespace xuan5::ui {

class StatusLine;
class AppContext;
class ArchiveService;
class HttpReply;
struct MainPanels;

// The strip's controls the feed drives, made by the main window.
struct FeedControls {
    std::array<QRadioButton*, kRegionCount> regions{};  // Op_lx
    std::array<QCheckBox*, kRegionCount> watched{};     // Ch_jiankong_diqu: "监控地区"
    QLabel* countdown = nullptr;                        // L_djs
    QCheckBox* autoUpdate = nullptr;                    // Cauto
    QPushButton* fetchNow = nullptr;                    // Cshoudong
    QLabel* waiting = nullptr;                          // L_dengdai
    QPushButton* manualEntry = nullptr;                 // C_rulu_kjh
    StatusLine* status = nullptr;                       // Tnew
    QListWidget* drawList = nullptr;                    // L_kjh
};

class FeedController : public QObject {
    Q_OBJECT
  public:
    // `window` is the parent of the dialogs and messages; `ctx`, `built` and `archive` outlive
    // the controller. `built` holds the panels built so far; `panels` builds them all, for the
    // work that needs them.
    FeedController(AppContext& ctx, std::function<const MainPanels&()> panels,
                   const MainPanels& built, ArchiveService& archive, FeedControls controls,
                   QWidget* window);

    void StartTimers();
    // The first fetch after a start: every watched region at once.
    void StartFeed();

    void ManualFetch();    // Cshoudong: the shown region
    void CountdownTick();  // Timer_gx: every watched region when 自动更新 is ticked
    void FetchWatched();   // the shown region first, then the other watched ones
    void FetchRegion(int region);
    // Command1 and "载入本地数据": the shown region's staged table goes to its book.
    void ApplyStaged();
    // A region's staged table goes to its book, after whatever is being applied now.
    void ApplyStaged(int region);
    // Op_lx(index): shows the region's book at once and fetches its draws. While a plan or a
    // table is being applied, the switch waits for its end.
    void SelectRegion(int index);
    void OpenManualEntry();  // C_rulu_kjh
    void ApplyTypedDraw();   // Timer_add_kjh
    // Tables that waited for a plan or another table are applied now.
    void RunQueue();
    // The draw list, the monitor table, the plan log and the plan of the shown region.
    void ShowRegionBook();
    // A region button: its name, its newest period, its last record's outcome and a mark for
    // draws not yet looked at ("山东 042 中 ●").
    void UpdateRegionButton(int region);

    void SetStatus(const std::string& text, bool failure = false);
    bool FetchInFlight() const;  // the shown region's
    bool AnyFetchInFlight() const;
    bool ApplyPending() const { return !queue_.empty(); }
    int PipelineRuns() const { return pipelineRuns_; }

  signals:
    // A fetch's answer for `region` has been handled (whatever it was).
    void fetchHandled(int region);

  private:
    void HandleAnswer(int region, const HttpReply& reply);
    // The region's staged table through its book, then the plan and, for the region shown, the
    // window.
    void ApplyNow(int region);
    bool StageTypedDraw(const DrawRecord& draw);
    void ShowDrawList(const std::vector<std::string>& lines, int newRows);
    std::string WithListNote(const std::string& text) const;
    void ShowWaiting();
    bool PlanRunning() const;
    float NextCacheBreaker();
    bool Watched(int region) const;

    AppContext& ctx_;
    std::function<const MainPanels&()> panels_;
    const MainPanels& built_;
    ArchiveService& archive_;
    FeedControls c_;
    QWidget* window_;
    QTimer* countdownTimer_;
    QTimer* typedDrawTimer_;
    QTimer* waitingTimer_;
    QElapsedTimer waitingSince_;

    std::array<bool, kRegionCount + 1> inFlight_{};
    std::array<bool, kRegionCount + 1> unseen_{};
    std::deque<int> queue_;  // regions whose staged table waits for the book
    bool busy_ = false;
    int pendingRegion_ = 0;  // a switch waiting for the end of a run
    int typedRegion_ = 0;
    bool listStale_ = false;  // no table applied since the region was switched
    bool statusFailure_ = false;
    int pipelineRuns_ = 0;
};

}  // namespace xuan5::ui
