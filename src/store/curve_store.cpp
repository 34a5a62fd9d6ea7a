#include "store/curve_store.h"

#include <iconv.h>

#include <fstream>
#include <iterator>

#include "core/text.h"
#include "store/atomic_file.h"

namespace xuan5 {
namespace {

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        unsigned min = 0;
        unsigned code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, min = 0x80, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, min = 0x800, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, min = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size()) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            code = (code << 6) | (cc & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

// Missing, unreadable, too short or undecodable: the store the program cannot start without.
Failure Broken() {
    return Fail({kMsgStoreBroken, kTitleNotice, Message::Kind::Damaged});
}

Result<std::string> FromGb18030(std::string_view bytes) {
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) return Broken();
    std::string in(bytes);
    std::string out(bytes.size() * 4 + 16, '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1) || inLeft != 0) return Broken();
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

std::filesystem::path CurveStorePath(const std::filesystem::path& dataDir) {
    return dataDir / "data.mdb";
}

Result<std::string> DecodeLocalText(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return FromGb18030(bytes);
}

namespace {

// A record that neither reading accepts stays as its bytes: loading it reports a damaged line,
// and saving another slot writes it back unchanged.
std::string DecodeRecord(std::string_view piece) {
    const Result<std::string> text = DecodeLocalText(piece);
    return std::string(TrimSpaces(text ? std::string_view(*text) : piece));
}

// File lines 16..33 (pieces 15..32), as CurveStoreHistory lays them out. Anything else after
// the fifteen lines (nothing, or an older program's leftovers) is no history.
CurveStoreHistory ParseHistory(const std::vector<std::string_view>& pieces) {
    constexpr std::size_t kMarker = kLineCount;
    constexpr std::size_t kNumber = kMarker + 1;
    constexpr std::size_t kClosing = kNumber + kLineCount + 1;
    if (pieces.size() <= kClosing || pieces[kMarker] != kStoreEndMarker ||
        pieces[kClosing] != kStoreEndMarker)
        return {};
    const std::string_view number = pieces[kNumber];
    if (number.size() != 2 || !AllDigits(number) || DigitsValue(number) > kLineCount) return {};
    CurveStoreHistory history;
    history.lastSaved = DigitsValue(number) - 1;
    for (int k = 0; k < kLineCount; ++k)
        history.previous[k] = DecodeRecord(pieces[kNumber + 1 + k]);
    return history;
}

}  // namespace

Result<CurveStoreContents> ParseCurveStoreContents(std::string_view bytes) {
    // Split before decoding: neither UTF-8 nor GB18030 has a CR or LF byte inside a character,
    // and one damaged record must not cost the user the other fourteen.
    auto pieces = SplitText(TrimSpaces(bytes), kCrLf);
    // A final line break ends the last line; it does not open another one.
    if (!pieces.empty() && pieces.back().empty()) pieces.pop_back();
    if (pieces.size() < static_cast<std::size_t>(kLineCount)) return Broken();
    CurveStoreContents contents;
    for (int k = 0; k < kLineCount; ++k) contents.lines[k] = DecodeRecord(pieces[k]);
    contents.history = ParseHistory(pieces);
    return contents;
}

Result<LineTexts> ParseCurveStoreBytes(std::string_view bytes) {
    Result<CurveStoreContents> contents = ParseCurveStoreContents(bytes);
    if (!contents) return contents.failure();
    return std::move(contents->lines);
}

namespace {

Result<CurveStoreContents> ReadContents(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return Broken();
    std::ifstream in(file, std::ios::binary);
    if (!in) return Broken();
    std::string bytes;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return Broken();
    return ParseCurveStoreContents(bytes);
}

}  // namespace

Result<CurveStoreContents> ReadCurveStoreContents(const std::filesystem::path& file) {
    // libstdc++ reports some read errors by throwing from the stream buffer, and a folder or a
    // device in the file's place must read as a broken store like any other.
    try {
        return ReadContents(file);
    } catch (const std::exception&) {
        return Broken();
    }
}

Result<LineTexts> ReadCurveStoreFile(const std::filesystem::path& file) {
    Result<CurveStoreContents> contents = ReadCurveStoreContents(file);
    if (!contents) return contents.failure();
    return std::move(contents->lines);
}

std::string CurveStoreText(const LineTexts& lines, const CurveStoreHistory& history) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += kCrLf;
    }
    text += kStoreEndMarker;
    if (history != CurveStoreHistory{}) {
        text += kCrLf;
        text += PadNumber(history.lastSaved + 1, 2);
        text += kCrLf;
        for (const auto& line : history.previous) {
            text += line;
            text += kCrLf;
        }
        text += kStoreEndMarker;
    }
    return std::string(TrimSpaces(text)) + std::string(kCrLf);
}

Status SaveCurveStore(const LineTexts& lines, const std::filesystem::path& file,
                      const CurveStoreHistory& history) {
    if (!ReplaceFileAtomically(file, CurveStoreText(lines, history))) {
        return Fail({kMsgStoreSaveFailed, kTitleNotice, Message::Kind::Io});
    }
    return Ok();
}

Result<LineTexts> SaveCurveStoreLine(LineTexts lines, int index, std::string text,
                                     const std::filesystem::path& file) {
    // The other lines' previous versions stay as the file has them; a file that cannot be read
    // has none to keep, and the save itself is what the user asked for.
    CurveStoreHistory history;
    if (Result<CurveStoreContents> before = ReadCurveStoreContents(file)) history = before->history;
    history.previous[index] = lines[index];
    history.lastSaved = index;
    lines[index] = std::string(TrimSpaces(text));
    const Status saved = SaveCurveStore(lines, file, history);
    if (!saved) return saved.failure();
    return lines;
}

Result<UndoneSave> UndoLastCurveSave(const std::filesystem::path& file) {
    Result<CurveStoreContents> contents = ReadCurveStoreContents(file);
    if (!contents) return contents.failure();
    CurveStoreHistory& history = contents->history;
    const int index = history.lastSaved;
    if (index < 0) return Fail({kMsgNothingToUndo, kTitleNotice, Message::Kind::NotFound});
    // The undone text is kept as the line's previous version rather than thrown away; only the
    // mark of a save to undo goes, so a second press does not put it back.
    std::swap(contents->lines[index], history.previous[index]);
    history.lastSaved = -1;
    const Status saved = SaveCurveStore(contents->lines, file, history);
    if (!saved) return saved.failure();
    return UndoneSave{std::move(contents->lines), index};
}

}  // namespace xuan5
