#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace xuan5::service {

// 32 bytes from the kernel's random source as 64 hex digits. Throws when the source cannot be
// read: a guessable token is worse than none.
std::string NewToken();

// The command line of xuan5-service without the program name. `serve` runs until
// `should_stop` turns true. Returns the process exit code: 0 done, 1 failed, 2 bad usage.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const std::function<bool()>& should_stop);

}  // namespace xuan5::service
