#include "store/line_export.h"

#include <string>
#include <system_error>

#include "core/text.h"
#include "store/atomic_file.h"

namespace xuan5 {

Result<Message> ExportLineBases(const LineTexts& lineBases,
                                const std::filesystem::path& dataFolder) {
    const Failure failed = Fail({kMsgExportFailed, kTitleWentWrong, Message::Kind::Io});
    // No data folder at all would put txt beside whatever the working folder happens to be.
    if (dataFolder.empty()) return failed;
    const std::filesystem::path txtFolder = dataFolder / "txt";
    // Only txt itself is made: a data folder that has gone is a failure, not something to
    // rebuild. A file in place of txt fails like a file that cannot be written.
    std::error_code error;
    std::filesystem::create_directory(txtFolder, error);
    if (error || !std::filesystem::is_directory(txtFolder, error)) return failed;
    for (int i = 0; i < kLineCount; ++i) {
        std::string content(TrimSpaces(lineBases[i]));
        content.append(kCrLf);
        const auto target = txtFolder / ("dadi" + std::to_string(i) + ".txt");
        if (!ReplaceFileAtomically(target, content)) return failed;
    }
    const std::filesystem::path shown = std::filesystem::absolute(txtFolder, error);
    return Message{kMsgExportDone + (error ? txtFolder : shown).string() + "/", kTitleDone,
                   Message::Kind::Notice};
}

}  // namespace xuan5
