// Access tokens: how they are made, stored and compared. Tokens are stored only as their SHA-256
// digest, so a copied database file does not hand out working credentials.
#pragma once

#include <string>
#include <string_view>

namespace xuan5::service {

// Lower-case hex SHA-256 of the bytes of `data`.
std::string Sha256Hex(std::string_view data);

// 32 bytes from OpenSSL's random generator as 64 hex digits. Throws when the generator fails:
// a guessable token is worse than none.
std::string NewToken();

// Whether two digests are equal, in a time that does not depend on where they differ.
bool SameDigest(std::string_view a, std::string_view b);

}  // namespace xuan5::service
