// The start-up sequence of the main window, step by step in its fixed order.
#include <QDateTime>
#include <QRadioButton>
#include <QTimer>

#include "archive/archive_check.h"
#include "archive/draw_archive.h"
#include "records/book_store.h"
#include "store/atomic_file.h"
#include "ui/backup/backup_strip.h"
#include "ui/draw/draw_panel.h"
#include "ui/monitor/monitor_panel.h"
#include "ui/plan/plan_panel.h"
#include "ui/shell/fmain.h"
#include "ui/sortfilter/sort_panel.h"

namespace xuan5::ui {

namespace {

QString Stamp() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

// A damaged archive costs neither the start nor its draws: it is kept aside, a new one is begun,
// and the user is told once, over the window rather than before it. A file that cannot even be
// checked is left to the archive's own messages when it is used.
void CheckArchiveAtStart(QWidget* window, AppContext& ctx) {
    const std::string stamp = Stamp().toStdString();
    const Result<ArchiveCheck> check =
        CheckDrawArchive(DrawArchivePath(ctx.services.dataDir), stamp);
    if (!check || !check->movedAside) return;
    const QString text = QString::fromStdString(ArchiveMovedAsideText(*check->movedAside));
    QTimer::singleShot(0, window, [window, &ctx, text] {
        ctx.services.Show(window, text, QString::fromUtf8(kTitleNotice));
    });
}

// What the window says once of the record books' file: set aside, or not usable this run.
QString BooksNotice(const Result<std::optional<std::filesystem::path>>& check) {
    if (!check) return QString::fromStdString(check.messages().front().text);
    if (*check) return QString::fromStdString(RecordsMovedAsideText(**check));
    return {};
}

void Tell(QWidget* window, AppContext& ctx, const QString& notice) {
    if (notice.isEmpty()) return;
    QTimer::singleShot(0, window, [window, &ctx, notice] {
        ctx.services.Show(window, notice, QString::fromUtf8(kTitleNotice));
    });
}

// The record books as the archive: a damaged records.db is kept aside and a new one begun, and
// the user is told once; a file that cannot be opened leaves the books in memory for this run.
// Before the first paint only the file's layout is checked, so that a long log costs the start
// nothing; the whole file is read once the window shows.
void OpenRecordBooks(QWidget* window, AppContext& ctx) {
    const std::filesystem::path file = RecordsPath(ctx.services.dataDir);
    const Result<std::optional<std::filesystem::path>> check =
        CheckRecordsFile(file, Stamp().toStdString(), false);
    QString notice = BooksNotice(check);
    const Status opened = check ? ctx.session.OpenBooks(file) : check.failure();
    if (!opened && notice.isEmpty())
        notice = QString::fromStdString(opened.messages().front().text);
    Tell(window, ctx, notice);
}

void RecheckRecordBooks(QWidget* window, AppContext& ctx) {
    Tell(window, ctx,
         BooksNotice(
             ctx.session.RecheckBooks(RecordsPath(ctx.services.dataDir), Stamp().toStdString())));
}

}  // namespace

void Fmain::AfterFirstPaint() {
    CheckArchiveAtStart(this, *ctx_);
    RecheckRecordBooks(this, *ctx_);
    for (int region = 1; region <= kRegionCount; ++region) feed_->UpdateRegionButton(region);
    if (feedWhenShown_) StartFeed();
}

void Fmain::ApplyPanelDefaults(int index) {
    switch (index) {
        case 0:
            panels_.draw->SetLineCountFontSize(7);
            break;
        case 1:
            panels_.monitor->DrawMonitorGrid();
            panels_.monitor->SelectRecomputeEachPeriod();
            // Ticked as clicks, so the count of selected lines shows 15.
            panels_.monitor->TickAllLines();
            panels_.monitor->RedrawMonitorTable();
            break;
        case 2:
            panels_.plan->SelectModeOne();
            panels_.plan->TickAutoPlan();
            panels_.plan->SetLogFontSize(9);
            panels_.plan->ShowRecords(true);
            break;
        case 3:
            panels_.sort->DisableVerificationBox();
            break;
        default:
            break;
    }
}

bool Fmain::ApplyStartupDefaults() {
    Session& session = ctx_->session;
    panels_.backup->ShowProgressPanel(false);
    RemoveStaleTemporaries(ctx_->services.StoreFile());

    // The curve store is the one file that must be there; only its readability matters here.
    if (!ReloadCurveStore(ctx_->services, ctx_->session)) {
        ctx_->services.ShowStoreBrokenMessages(this);
        return false;
    }

    session.Trend.TrendLine = {};
    session.CountdownSeconds = 30;
    feedControls_.regions[0]->setChecked(true);
    session.RegionCode = 1;
    // The shown region's book is read before the first paint; the others once it is painted.
    OpenRecordBooks(this, *ctx_);
    // Each panel's own defaults, now for those built and at their building for the others.
    startedUp_ = true;
    for (int i = 0; i < kPanelCount; ++i) {
        if (PanelBuilt(i)) ApplyPanelDefaults(i);
    }
    feed_->ShowRegionBook();

    feed_->StartTimers();
    betsTimer_->start();
    return true;
}

}  // namespace xuan5::ui
