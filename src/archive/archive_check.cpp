#include "archive/archive_check.h"

#include "archive/draw_archive.h"
#include "sqlite/sqlite_db.h"

namespace xuan5 {
namespace {

Failure Unchecked(const std::filesystem::path& file, const std::string& why) {
    return Fail({"开奖存档无法检查：" + file.string() + "（" + why + "）", kTitleErrorNotice,
                 Message::Kind::Io});
}

}  // namespace

Result<ArchiveCheck> CheckDrawArchive(const std::filesystem::path& file, const std::string& stamp) {
    const Result<std::optional<std::filesystem::path>> aside =
        SetAsideIfDamaged(file, {"SELECT region, date, period, numbers FROM draws LIMIT 0"}, stamp);
    if (!aside) return Unchecked(file, aside.messages().front().text);
    return ArchiveCheck{*aside};
}

std::string ArchiveMovedAsideText(const std::filesystem::path& movedAside) {
    return "开奖存档已损坏，原文件已保留为 " + movedAside.filename().string() + "，已新建存档";
}

}  // namespace xuan5
