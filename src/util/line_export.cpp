#include "util/line_export.h"

#include <string>

#include "core/text.h"
#include "util/atomic_file.h"

namespace xuan5 {

LineExportResult ExportLineBases(const LineTexts& lineBases,
                                 const std::filesystem::path& dataFolder) {
    const std::filesystem::path txtFolder = dataFolder / "txt";
    LineExportResult result;
    for (int i = 0; i < kLineCount; ++i) {
        std::string content(TrimSpaces(lineBases[i]));
        content.append(kCrLf);
        const auto target = txtFolder / ("dadi" + std::to_string(i) + ".txt");
        if (!ReplaceFileAtomically(target, content)) {
            result.message = Message{kMsgExportFailed, kTitleExportFailed};
            return result;
        }
        ++result.filesWritten;
    }
    result.message = Message{kMsgExportDone, kTitleExportDone};
    return result;
}

}  // namespace xuan5
