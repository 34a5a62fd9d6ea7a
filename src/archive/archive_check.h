// The start-up check of the draw archive: a damaged archive.db is kept aside and a new one
// started, so that the window starts as usual and the user's data stay on the disk.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/result.h"

namespace xuan5 {

struct ArchiveCheck {
    // Set when the file was damaged: where it lies now, with its journal beside it.
    std::optional<std::filesystem::path> movedAside;
};

// Reads the whole file as SQLite does (its quick check) and looks at the draw table's layout. A
// file that is no database, has damaged pages or holds a draw table of another layout is renamed
// "<file>.damaged-<stamp>" (stamp "20240506-101112" names the moment), so the next
// DrawArchive::Open starts a new archive. A missing or empty file is no damage; a journal left
// by a process killed while writing is rolled back, as by any open. Failure: the file could not
// be read or moved; it stays where it was.
Result<ArchiveCheck> CheckDrawArchive(const std::filesystem::path& file, const std::string& stamp);

// "开奖存档已损坏，原文件已保留为 <name>，已新建存档": what the window tells the user, once.
std::string ArchiveMovedAsideText(const std::filesystem::path& movedAside);

}  // namespace xuan5
