// Any file bytes: a store that reads back is written and read again to the same records, and a
// byte that no reading accepts, added to one record, costs that record only.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "store/curve_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto lines = ParseCurveStoreBytes(bytes);
    if (!lines) return 0;
    const auto again = ParseCurveStoreBytes(CurveStoreText(*lines));
    if (!again || *again != *lines) std::abort();

    const std::size_t damagedIndex = data[0] % lines->size();
    LineTexts damaged = *lines;
    damaged[damagedIndex] += '\xFF';
    const auto read = ParseCurveStoreBytes(CurveStoreText(damaged));
    if (!read || (*read)[damagedIndex] != damaged[damagedIndex]) std::abort();
    for (std::size_t k = 0; k < lines->size(); ++k) {
        if (k != damagedIndex && (*read)[k] != (*lines)[k]) std::abort();
    }
    return 0;
}
