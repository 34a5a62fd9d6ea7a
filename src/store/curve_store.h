// The curve store file data/data.mdb: fifteen saved-line records and an end marker.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/result.h"
#include "core/tables.h"

namespace xuan5 {

inline constexpr const char* kTitleStore = "提示";
inline constexpr const char* kMsgStoreBroken =
    "目录\\data下缺少文件data.mdb，或是该文件遭到破坏,请检查原因";
inline constexpr const char* kMsgAppWillClose = "本软件将关闭";
inline constexpr const char* kMsgStoreSaveFailed = "本次保存曲线失败,请检查原因";
inline constexpr const char* kStoreEndMarker = "********";

// data/data.mdb under a data folder.
std::filesystem::path CurveStorePath(const std::filesystem::path& dataDir);

// Reads the fifteen records (trimmed). Fails with kMsgStoreBroken when the file is missing,
// unreadable, empty or has fewer than fifteen lines; the caller then shows it with
// kMsgAppWillClose and ends the program. Each record is decoded on its own: UTF-8, else
// GB18030, else kept as its raw bytes.
Result<LineTexts> ReadCurveStoreFile(const std::filesystem::path& file);

// The same reading applied to the bytes of a file.
std::optional<LineTexts> ParseCurveStoreBytes(std::string_view bytes);

// Bytes as UTF-8 text: kept when they are valid UTF-8, otherwise converted from GB18030.
// nullopt when neither reading works.
std::optional<std::string> DecodeLocalText(std::string_view bytes);

// The exact file bytes for fifteen records.
std::string CurveStoreText(const LineTexts& lines);

// Replaces the file atomically (temporary file in the same folder, flush, rename); on any
// failure the old file stays as it was and the failure says kMsgStoreSaveFailed.
Status SaveCurveStore(const LineTexts& lines, const std::filesystem::path& file);

}  // namespace xuan5
