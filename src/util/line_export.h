// Export of the fifteen line bases to text files dadi0.txt .. dadi14.txt.
#pragma once

#include <filesystem>

#include "core/app_state.h"
#include "core/messages.h"

namespace xuan5 {

inline constexpr const char* kMsgExportDone = "导出完成，文件夹=\\data\\txt\\";
inline constexpr const char* kTitleExportDone = "完成";
inline constexpr const char* kMsgExportFailed = "导出过程出现错误，请检查";
inline constexpr const char* kTitleExportFailed = "出错了";

struct LineExportResult {
    int filesWritten = 0;  // files replaced before the run ended
    Message message;
};

// Writes each line base, trimmed of outer spaces and ended by CR LF, to
// <dataFolder>/txt/dadi<i>.txt, replacing the file as a whole. A missing txt folder is created
// first, so a new data folder exports at once; the export stops at the first file (or folder)
// that cannot be written and the files written before it stay.
LineExportResult ExportLineBases(const LineTexts& lineBases,
                                 const std::filesystem::path& dataFolder);

}  // namespace xuan5
