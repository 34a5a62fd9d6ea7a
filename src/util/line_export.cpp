#include "util/line_export.h"

#include <fstream>
#include <string>
#include <system_error>

#include "core/text.h"

namespace xuan5 {
namespace {

// Writes next to the target and renames over it, so a reader never sees half a file and a
// failed write leaves the previous export intact.
bool ReplaceFile(const std::filesystem::path& target, std::string_view content) {
    std::filesystem::path temp = target;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace

LineExportResult ExportLineBases(const LineTexts& lineBases,
                                 const std::filesystem::path& dataFolder) {
    const std::filesystem::path txtFolder = dataFolder / "txt";
    LineExportResult result;
    for (int i = 0; i < kLineCount; ++i) {
        std::string content(TrimSpaces(lineBases[i]));
        content.append(kCrLf);
        const auto target = txtFolder / ("dadi" + std::to_string(i) + ".txt");
        if (!ReplaceFile(target, content)) {
            result.message = Message{kMsgExportFailed, kTitleExportFailed};
            return result;
        }
        ++result.filesWritten;
    }
    result.message = Message{kMsgExportDone, kTitleExportDone};
    return result;
}

}  // namespace xuan5
