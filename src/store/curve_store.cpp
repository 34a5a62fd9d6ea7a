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

std::optional<std::string> FromGb18030(std::string_view bytes) {
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string in(bytes);
    std::string out(bytes.size() * 4 + 16, '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

std::filesystem::path CurveStorePath(const std::filesystem::path& dataDir) {
    return dataDir / "data.mdb";
}

std::optional<std::string> DecodeLocalText(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return FromGb18030(bytes);
}

std::optional<LineTexts> ParseCurveStoreBytes(std::string_view bytes) {
    // Split before decoding: neither UTF-8 nor GB18030 has a CR or LF byte inside a character,
    // and one damaged record must not cost the user the other fourteen.
    auto pieces = SplitText(TrimSpaces(bytes), kCrLf);
    // A final line break ends the last line; it does not open another one.
    if (!pieces.empty() && pieces.back().empty()) pieces.pop_back();
    if (pieces.size() < static_cast<std::size_t>(kLineCount)) return std::nullopt;
    LineTexts lines;
    for (int k = 0; k < kLineCount; ++k) {
        // A record that neither reading accepts stays as its bytes: loading it reports a
        // damaged line, and saving another slot writes it back unchanged.
        const std::string_view piece = pieces[k];
        const std::optional<std::string> text = DecodeLocalText(piece);
        lines[k] = std::string(TrimSpaces(text ? std::string_view(*text) : piece));
    }
    return lines;
}

namespace {

std::optional<LineTexts> ReadLines(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return ParseCurveStoreBytes(bytes);
}

}  // namespace

Result<LineTexts> ReadCurveStoreFile(const std::filesystem::path& file) {
    std::optional<LineTexts> lines;
    // libstdc++ reports some read errors by throwing from the stream buffer, and a folder or a
    // device in the file's place must read as a broken store like any other.
    try {
        lines = ReadLines(file);
    } catch (const std::exception&) {
        lines.reset();
    }
    if (!lines) return Fail({kMsgStoreBroken, kTitleStore});
    return std::move(*lines);
}

std::string CurveStoreText(const LineTexts& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += kCrLf;
    }
    text += kStoreEndMarker;
    return std::string(TrimSpaces(text)) + std::string(kCrLf);
}

Status SaveCurveStore(const LineTexts& lines, const std::filesystem::path& file) {
    if (!ReplaceFileAtomically(file, CurveStoreText(lines))) {
        return Fail({kMsgStoreSaveFailed, kTitleStore});
    }
    return Ok();
}

}  // namespace xuan5
