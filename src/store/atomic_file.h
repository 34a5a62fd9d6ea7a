// Replacing a file as a whole: the new content is written to a temporary file beside the target,
// flushed to the disk and renamed over the target, so a reader (or a crash at any moment) sees
// either the old file or the new one, never half of it.
#pragma once

#include <filesystem>
#include <string_view>

#include "core/result.h"

namespace xuan5 {

// The temporary files of `target` are named "<target name>.tmp-<random>".
inline constexpr std::string_view kTemporaryInfix = ".tmp-";

// Followed by the file.
inline constexpr const char* kMsgCannotWriteFile = "无法写入文件：";

// Fails with kMsgCannotWriteFile on any failure; the target then keeps its old content and no
// temporary file is left.
Status ReplaceFileAtomically(const std::filesystem::path& target, std::string_view content);

// Deletes the temporary files of `target` that a killed or crashed writer left behind. A
// temporary that a running writer (this process or another) is still filling is kept. Returns
// how many were deleted.
int RemoveStaleTemporaries(const std::filesystem::path& target);

}  // namespace xuan5
