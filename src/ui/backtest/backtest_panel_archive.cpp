// The back-test panel's archive buttons: import, export, download, the offline load, the
// exports of a run, and the line that says what the archive holds.
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "backtest/backtest_csv.h"
#include "core/message_titles.h"
#include "core/text.h"
#include "feed/feed_parser.h"
#include "protocol/draw_csv.h"
#include "protocol/endpoints.h"
#include "store/atomic_file.h"
#include "ui/backtest/backtest_panel.h"
#include "ui/backtest/number_boxes.h"
#include "ui/backtest/omission_strip.h"
#include "ui/common/app_context.h"
#include "ui/common/archive_service.h"
#include "ui/common/panel_links.h"

namespace xuan5::ui {

namespace {

constexpr const char* kCsvFilter = "CSV (*.csv *.txt);;所有文件 (*)";

}  // namespace

bool BacktestPanel::Downloading() const {
    return archive_.Downloading();
}

void BacktestPanel::ConnectArchive() {
    connect(&archive_, &ArchiveService::fetchArchived, this, [this] {
        if (isVisible()) RefreshArchiveInfo();
    });
    connect(&archive_, &ArchiveService::fetchUndated, this, [this] {
        archiveInfo_->setText(QStringLiteral("本次开奖数据没有日期，未存入本地存档"));
    });
    connect(&archive_, &ArchiveService::fetchArchiveFailed, this,
            [this](const QString& what, bool firstTime) {
                archiveInfo_->setText(what);
                if (!firstTime) return;
                // After the feed has finished with its answer, so the box holds up nothing of it.
                QTimer::singleShot(0, this, [this, what] {
                    services_.Show(
                        this,
                        QStringLiteral("开奖数据未能存入本地存档，本次更新不受影响：\n") + what,
                        QString::fromUtf8(kTitleNotice));
                });
            });
    connect(&archive_, &ArchiveService::downloadProgress, this, [this](int percent) {
        // Busy until the answer says how large it is.
        downloadProgress_->setRange(0, percent < 0 ? 0 : 100);
        if (percent >= 0) downloadProgress_->setValue(percent);
    });
    connect(&archive_, &ArchiveService::downloadFinished, this, &BacktestPanel::ShowDownload);
}

void BacktestPanel::RefreshArchiveInfo() {
    const int region = session_.RegionCode;
    Result<DrawArchive> archive = archive_.Open();
    const Result<std::vector<DatedDraw>> recent =
        archive ? archive->NewestDraws(region, kOmissionWindow) : archive.failure();
    const Result<int> count = archive ? archive->CountDraws(region) : archive.failure();
    if (!recent || !count) {
        archiveInfo_->setText(Q((recent ? count.messages() : recent.messages()).front().text));
        return;
    }
    if (recent->empty()) {
        archiveInfo_->setText(QStringLiteral("本地存档（%1）：没有数据").arg(RegionName(region)));
    } else {
        archiveInfo_->setText(QStringLiteral("本地存档（%1）：%2期，最新 %3 %4")
                                  .arg(RegionName(region))
                                  .arg(*count)
                                  .arg(Q(recent->back().date), Q(recent->back().period)));
    }
    ShowOmissions(NumberOmissions(*recent));
}

QString BacktestPanel::ChooseFile(const QString& caption, const QString& filter, bool save,
                                  const QString& proposed) {
    const QString start = proposed.isEmpty() ? fileFolder_ : proposed;
    QString path = chooseFile_ ? chooseFile_(this, caption, filter, save, start)
                   : save      ? QFileDialog::getSaveFileName(this, caption, start, filter)
                               : QFileDialog::getOpenFileName(this, caption, start, filter);
    if (!path.isEmpty()) fileFolder_ = QFileInfo(path).absolutePath();
    return path;
}

bool BacktestPanel::WriteFile(const QString& caption, const QString& name,
                              const std::string& content) {
    if (fileFolder_.isEmpty()) fileFolder_ = QDir::homePath();
    const QString proposed =
        QDir(fileFolder_)
            .filePath(QStringLiteral("%1_%2_%3.csv")
                          .arg(name, RegionName(session_.RegionCode),
                               QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
    QString path = ChooseFile(caption, QString::fromUtf8(kCsvFilter), true, proposed);
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".csv");
    const Status written = ReplaceFileAtomically(path.toStdString(), content);
    if (!written) {
        Error(Q(written.messages().front().text));
        return false;
    }
    state_->setText(QStringLiteral("已导出：") + path);
    return true;
}

void BacktestPanel::ImportCsv() {
    const QString path =
        ChooseFile(QStringLiteral("导入开奖CSV"), QString::fromUtf8(kCsvFilter), false);
    if (path.isEmpty()) return;
    const Result<ArchiveService::ImportReport> report =
        archive_.ImportCsv(path, session_.RegionCode);
    if (!report) {
        Error(Q(report.messages().front().text));
        return;
    }
    RefreshArchiveInfo();
    services_.Show(this, report->text,
                   QString::fromUtf8(report->clean ? kTitleDone : kTitleNotice));
}

void BacktestPanel::ExportCsv() {
    const int region = session_.RegionCode;
    Result<DrawArchive> archive = archive_.Open();
    const Result<int> count = archive ? archive->CountDraws(region) : archive.failure();
    if (count && *count == 0) {
        Error(QStringLiteral("本地存档没有%1的开奖数据").arg(RegionName(region)));
        return;
    }
    const Result<std::string> text =
        count ? archive->ExportCsv(region, RegionName(region).toStdString()) : count.failure();
    if (!text) {
        Error(Q(text.messages().front().text));
        return;
    }
    WriteFile(QStringLiteral("导出开奖CSV"), QStringLiteral("开奖号码"), *text);
}

void BacktestPanel::ExportTable() {
    if (rows_.empty()) {
        Error(QStringLiteral("请先回测"));
        return;
    }
    WriteFile(QStringLiteral("导出回测表"), QStringLiteral("回测表"),
              BacktestTableCsv(rows_, scope_));
}

void BacktestPanel::ExportPlanLog() {
    if (rows_.empty()) {
        Error(QStringLiteral("请先回测"));
        return;
    }
    WriteFile(QStringLiteral("导出计划记录"), QStringLiteral("计划记录"),
              PlanLogCsv(rows_, scope_));
}

void BacktestPanel::DownloadHistory() {
    if (archive_.Downloading()) return;
    const std::optional<int> count = BoxNumber(downloadCount_, 1, kMaxHistoryDraws);
    if (!count) {
        Error(QStringLiteral("下载期数须为1到%1").arg(kMaxHistoryDraws));
        return;
    }
    download_->setEnabled(false);
    downloadProgress_->setRange(0, 0);
    state_->setText(QStringLiteral("正在下载……"));
    archive_.DownloadHistory(session_.RegionCode, *count);
}

void BacktestPanel::ShowDownload(const QString& status, const QString& error) {
    download_->setEnabled(true);
    downloadProgress_->setRange(0, 100);
    downloadProgress_->setValue(error.isEmpty() ? 100 : 0);
    state_->setText(status);
    if (!error.isEmpty()) Error(error);
    RefreshArchiveInfo();
    emit downloadHandled();
}

void BacktestPanel::LoadLocalDraws() {
    const int region = session_.RegionCode;
    Result<DrawArchive> archive = archive_.Open();
    const Result<std::optional<DrawTable>> staged =
        archive ? archive->StagedTable(region) : archive.failure();
    if (!staged) {
        Error(Q(staged.messages().front().text));
        return;
    }
    if (!*staged) {
        Error(QStringLiteral("本地存档%1的开奖数据不足120期").arg(RegionName(region)));
        return;
    }
    // Staged and judged as a fetched table is: only a newer table is applied.
    if (!HasNewDraws(**staged, session_.DrawHistory())) {
        state_->setText(QString::fromUtf8(kMsgNoUpdate));
        return;
    }
    if (links_.applyTable) links_.applyTable(**staged);
    state_->setText(QStringLiteral("已载入本地数据（%1）").arg(RegionName(region)));
}

}  // namespace xuan5::ui
