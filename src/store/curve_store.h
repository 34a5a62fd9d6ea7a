// The curve store file data/data.mdb: fifteen saved-line records and an end marker.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/result.h"
#include "core/tables.h"

namespace xuan5 {

inline constexpr const char* kMsgStoreBroken =
    "目录\\data下缺少文件data.mdb，或是该文件遭到破坏,请检查原因";
inline constexpr const char* kMsgAppWillClose = "本软件将关闭";
inline constexpr const char* kMsgStoreSaveFailed = "本次保存曲线失败,请检查原因";
inline constexpr const char* kStoreEndMarker = "********";

inline constexpr const char* kMsgNothingToUndo = "没有可撤销的保存";

// What the store keeps besides the lines in force, so that a save can be taken back: for each
// line the text its last save replaced, and which line was saved last. It is written after the
// end marker, where a reader of the fifteen lines never looks:
//   line 17       the number of the line saved last, "01".."15", or "00" when there is none
//   lines 18..32  the previous text of lines 1..15
//   line 33       the end marker again
struct CurveStoreHistory {
    LineTexts previous{};
    int lastSaved = -1;  // index 0..14 of the line saved last; -1 when there is nothing to undo

    friend bool operator==(const CurveStoreHistory&, const CurveStoreHistory&) = default;
};

struct CurveStoreContents {
    LineTexts lines{};
    CurveStoreHistory history;
};

// data/data.mdb under a data folder.
std::filesystem::path CurveStorePath(const std::filesystem::path& dataDir);

// Reads the fifteen records (trimmed). Fails with kMsgStoreBroken when the file is missing,
// unreadable, empty or has fewer than fifteen lines; the caller then shows it with
// kMsgAppWillClose and ends the program. Each record is decoded on its own: UTF-8, else
// GB18030, else kept as its raw bytes.
Result<LineTexts> ReadCurveStoreFile(const std::filesystem::path& file);
// The same, with the history; a file without one (or with a damaged one) has an empty history.
Result<CurveStoreContents> ReadCurveStoreContents(const std::filesystem::path& file);

// The same reading applied to the bytes of a file.
Result<LineTexts> ParseCurveStoreBytes(std::string_view bytes);
Result<CurveStoreContents> ParseCurveStoreContents(std::string_view bytes);

// Bytes as UTF-8 text: kept when they are valid UTF-8, otherwise converted from GB18030. Fails
// with kMsgStoreBroken when neither reading works.
Result<std::string> DecodeLocalText(std::string_view bytes);

// The exact file bytes for fifteen records; with an empty history, the fifteen lines and the
// marker alone.
std::string CurveStoreText(const LineTexts& lines, const CurveStoreHistory& history = {});

// Replaces the file atomically (temporary file in the same folder, flush, rename); on any
// failure the old file stays as it was and the failure says kMsgStoreSaveFailed.
Status SaveCurveStore(const LineTexts& lines, const std::filesystem::path& file,
                      const CurveStoreHistory& history = {});

// Saves `lines` with line `index` replaced by `text`. The text the line held in `lines` becomes
// its previous version; the other lines keep the previous versions the file holds. Returns the
// lines as saved.
Result<LineTexts> SaveCurveStoreLine(LineTexts lines, int index, std::string text,
                                     const std::filesystem::path& file);

// Puts back the line saved last as it was before that save, and returns the lines with its
// index. The file is read afresh; fails with kMsgNothingToUndo (title kTitleNotice) when it
// knows of no save, and with the store's own failures.
struct UndoneSave {
    LineTexts lines;
    int index = -1;
};
Result<UndoneSave> UndoLastCurveSave(const std::filesystem::path& file);

}  // namespace xuan5
