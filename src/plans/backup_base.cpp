#include "plans/backup_base.h"

#include "core/text.h"

namespace xuan5 {

BackupBaseResult NormalizeBackupPass(std::string_view boxText) {
    std::string s(TrimSpaces(boxText));
    s = ReplaceAll(s, "\n", "*");
    s = ReplaceAll(s, "\r", "*");
    s = ReplaceAll(s, "**", " ");
    BackupBaseResult result;
    result.count = std::to_string(SplitText(s, " ").size());
    result.text = std::string(TrimSpaces(s));
    result.textChanged = result.text != boxText;
    return result;
}

BackupBaseResult NormalizeBackupBase(std::string_view boxText) {
    BackupBaseResult first = NormalizeBackupPass(boxText);
    if (!first.textChanged) return first;
    // The rewrite fires the change handler on the new text. That text has no line break, no
    // "**" and no outer space left, so the second pass only recounts and writes nothing new.
    BackupBaseResult second = NormalizeBackupPass(first.text);
    second.textChanged = true;
    return second;
}

}  // namespace xuan5
