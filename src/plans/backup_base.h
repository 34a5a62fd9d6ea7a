// Normalising a backup-base box: bets one per line become one line of bets separated by spaces,
// and the box's count shows how many items it holds.
#pragma once

#include <string>
#include <string_view>

namespace xuan5 {

struct BackupBaseResult {
    std::string text;   // the box text after normalising
    std::string count;  // the count shown beside it
    // Whether the box text differs from what it held before; writing it fires the box's change
    // handler again, whose pass is already included here.
    bool textChanged = false;

    friend bool operator==(const BackupBaseResult&, const BackupBaseResult&) = default;
};

// One run of the change handler on the box text: the rewritten text and the count it shows.
BackupBaseResult NormalizeBackupPass(std::string_view boxText);

// What the box and its count show once the change handler has settled: the first pass, and the
// pass that its own rewrite triggers (which recounts without the trailing item a final line
// break leaves).
BackupBaseResult NormalizeBackupBase(std::string_view boxText);

}  // namespace xuan5
