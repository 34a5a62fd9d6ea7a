#pragma once

#include <string>
#include <string_view>

namespace xuan5::service {

// Lower-case hex SHA-256 of the bytes of `data`. Tokens are stored only as this digest, so a
// copied database file does not hand out working credentials.
std::string Sha256Hex(std::string_view data);

}  // namespace xuan5::service
