#include "ui/common/archive_service.h"
#include "ui/common/qt_text.h"

#include <QFile>
#include <QPointer>
#include <algorithm>

#include "core/text.h"
#include "feed/feed_parser.h"
#include "protocol/draw_csv.h"
#include "protocol/endpoints.h"
#include "protocol/feed_format.h"
#include "ui/common/app_context.h"
#include "ui/common/failure_text.h"

namespace xuan5::ui {

namespace {

// Bad lines listed in the import report; the rest are counted, so a wrong file cannot fill
// the screen with a message box taller than it.
constexpr int kListedBadLines = 20;
// A draw CSV of every period since 1970 is a few megabytes; anything far larger is no such file.
constexpr qint64 kMaxCsvBytes = 64 * 1024 * 1024;

Failure Refused(const QString& text) {
    return Fail({text.toStdString(), kTitleErrorNotice});
}

}  // namespace

ArchiveService::ArchiveService(Services& services, QObject* parent)
    : QObject(parent), services_(services) {}

std::filesystem::path ArchiveService::File() const {
    return DrawArchivePath(services_.dataDir);
}

Result<DrawArchive> ArchiveService::Open() const {
    return DrawArchive::Open(File());
}

void ArchiveService::ArchiveFetch(int region, std::string_view response) {
    const std::vector<DatedDraw> rows = DatedFeedRows(response);
    if (rows.empty()) {
        // A feed whose lines carry no dates cannot be filed by day; the fetch itself is fine.
        if (Contains(response, kOkMarker)) emit fetchUndated();
        return;
    }
    Result<DrawArchive> archive = Open();
    const Result<int> added = archive ? archive->AddDraws(region, rows) : archive.failure();
    if (!added) {
        const bool firstTime = !failureReported_;
        failureReported_ = true;
        emit fetchArchiveFailed(Q(added.messages().front().text), firstTime);
        return;
    }
    failureReported_ = false;
    emit fetchArchived();
}

Result<ArchiveService::ImportReport> ArchiveService::ImportCsv(const QString& path, int region) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Refused(QStringLiteral("无法读取文件：") + path);
    if (file.size() > kMaxCsvBytes)
        return Refused(QStringLiteral("文件太大，不是开奖CSV：") + path);
    const QByteArray bytes = file.readAll();
    const DrawCsv csv = ParseDrawCsv(std::string_view(bytes.constData(), bytes.size()));
    if (csv.draws.empty() && csv.rejected.empty()) {
        return Refused(QStringLiteral("文件中没有开奖数据：") + path);
    }
    int changed = 0;
    if (!csv.draws.empty()) {
        Result<DrawArchive> archive = Open();
        const Result<int> added =
            archive ? archive->AddDraws(region, csv.draws) : archive.failure();
        if (!added) return added.failure();
        changed = *added;
    }
    ImportReport report;
    report.text = QStringLiteral("%1：导入%2期，其中新增或改动%3期")
                      .arg(RegionName(region))
                      .arg(csv.draws.size())
                      .arg(changed);
    // What the file says it holds, as its header block says it.
    if (!csv.notes.empty()) {
        report.text += QStringLiteral("\n文件说明：");
        for (const std::string& note : csv.notes) report.text += QLatin1Char('\n') + Q(note);
    }
    if (!csv.rejected.empty()) {
        report.clean = false;
        report.text += QStringLiteral("\n%1行有误，未导入：").arg(csv.rejected.size());
        const std::size_t listed = std::min<std::size_t>(csv.rejected.size(), kListedBadLines);
        for (std::size_t i = 0; i < listed; ++i)
            report.text += QLatin1Char('\n') + Q(CsvLineErrorText(csv.rejected[i]));
        if (listed < csv.rejected.size())
            report.text += QStringLiteral("\n……另有%1行").arg(csv.rejected.size() - listed);
    }
    return report;
}

void ArchiveService::DownloadHistory(int region, int count) {
    if (downloading_) return;
    downloading_ = true;
    const std::string url = HistoryRequestUrl(services_.service.url.toStdString(), region, count);
    QPointer<ArchiveService> self(this);
    services_.Http().HttpRequest(
        QStringLiteral("GET"), Q(url), QByteArray(),
        [self, region](const HttpReply& reply) {
            if (!self) return;
            self->downloading_ = false;
            const std::string body = reply.Body();
            const DrawCsv csv = ParseDrawCsv(body);
            if (body.empty()) {
                const QString failed = WithFailureReason(kMsgCannotConnect, reply);
                emit self->downloadFinished(failed, QStringLiteral("下载历史失败：") + failed);
                return;
            }
            if (csv.draws.empty()) {
                emit self->downloadFinished(
                    QString::fromUtf8(kMsgNoFeedData),
                    QStringLiteral("下载历史失败：") + QString::fromUtf8(kMsgNoFeedData));
                return;
            }
            Result<DrawArchive> archive = self->Open();
            const Result<int> added =
                archive ? archive->AddDraws(region, csv.draws) : archive.failure();
            if (!added) {
                emit self->downloadFinished(QStringLiteral("下载历史失败"),
                                            Q(added.messages().front().text));
                return;
            }
            emit self->downloadFinished(QStringLiteral("下载完成（%1）：%2期，新增或改动%3期")
                                            .arg(RegionName(region))
                                            .arg(csv.draws.size())
                                            .arg(*added),
                                        QString());
        },
        [self](qint64 received, qint64 total) {
            if (self) emit self->downloadProgress(total > 0 ? int(100 * received / total) : -1);
        });
}

}  // namespace xuan5::ui
