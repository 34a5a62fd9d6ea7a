// The window's side of the draw archive: what the feed's answers add to it, what the back-test
// panel imports, exports and downloads, and what it reads back. Failures come back as texts for
// the user; the file itself is opened for each use only.
#pragma once

#include <QObject>
#include <QString>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/draw_archive.h"

namespace xuan5::ui {

class Services;

class ArchiveService : public QObject {
    Q_OBJECT
  public:
    // `services`, `session` outlives the service.
    explicit ArchiveService(Services& services, QObject* parent = nullptr);

    std::filesystem::path File() const;
    // The archive, opened, for one use.
    Result<DrawArchive> Open() const;

    // The rows of a fetch's answer that carry dates go into the archive under `region`, the
    // region the request was made for. A failure never touches the fetch.
    void ArchiveFetch(int region, std::string_view response);

    // A draw CSV file imported for `region`: the report for the user, whether every line was
    // taken, or why nothing was.
    struct ImportReport {
        QString text;
        bool clean = true;
    };
    Result<ImportReport> ImportCsv(const QString& path, int region);

    // "下载历史": the newest `count` draws of `region` from the service into the archive. The
    // answer comes through downloadFinished.
    void DownloadHistory(int region, int count);
    bool Downloading() const { return downloading_; }

  signals:
    // A fetch's rows were stored.
    void fetchArchived();
    // A fetch's answer carried no dates.
    void fetchUndated();
    // A fetch's rows could not be stored; `firstTime` until the archive works again.
    void fetchArchiveFailed(const QString& what, bool firstTime);
    // A download's answer is arriving: the percentage received, -1 while its size is unknown.
    void downloadProgress(int percent);
    // A download ended: `status` for the panel's status line, `error` (empty when none) for a
    // message box.
    void downloadFinished(const QString& status, const QString& error);

  private:
    Services& services_;
    bool downloading_ = false;
    bool failureReported_ = false;
};

}  // namespace xuan5::ui
