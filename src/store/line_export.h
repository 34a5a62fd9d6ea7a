// Export of the fifteen line bases to text files dadi0.txt .. dadi14.txt.
#pragma once

#include <filesystem>

#include "core/result.h"
#include "core/tables.h"

namespace xuan5 {

// Followed by the folder the files are in.
inline constexpr const char* kMsgExportDone = "导出完成，文件夹=";
inline constexpr const char* kMsgExportFailed = "导出过程出现错误，请检查";

// Writes each line base, trimmed of outer spaces and ended by CR LF, to
// <dataFolder>/txt/dadi<i>.txt, replacing the file as a whole, and gives back the message that
// says it was done and where. A missing txt folder is created first, so a new data folder exports
// at once; the export stops at the first file (or folder) that cannot be written, failing with
// kMsgExportFailed, and the files written before it stay.
Result<Message> ExportLineBases(const LineTexts& lineBases,
                                const std::filesystem::path& dataFolder);

}  // namespace xuan5
