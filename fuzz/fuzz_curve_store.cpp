// Any file bytes: a store that reads back is written and read again to the same records.
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
    return 0;
}
