// Any filter box and tolerance texts: the engine's filter gives exactly what the literal text
// rules give, and its count always matches the lines it shows.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../tests/oracle/literal_sortfilter.h"
#include "sortfilter/group_filter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5;
    if (size == 0) return 0;
    // The first byte says how many of the following bytes form the tolerance text.
    const std::size_t rcLength = std::min<std::size_t>(data[0] % 8, size - 1);
    const std::string rc(reinterpret_cast<const char*>(data + 1), rcLength);
    const std::string input(reinterpret_cast<const char*>(data + 1 + rcLength),
                            size - 1 - rcLength);

    const GroupFilterResult fast = RunGroupFilter(input, rc);
    static const AllBetsTable allBets = BuildAllBets();
    if (fast != literal::RunGroupFilter(allBets, input, rc)) std::abort();
    if (const auto& kept = fast.value.kept) {
        std::size_t lines = kept->text.empty() ? 0 : 1;
        for (std::size_t at = kept->text.find("\r\n"); at != std::string::npos;
             at = kept->text.find("\r\n", at + 2)) {
            ++lines;
        }
        if (kept->count != std::to_string(lines)) std::abort();
    }
    return 0;
}
