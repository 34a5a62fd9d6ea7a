// The command line of xuan5-service: serve, add-user, import.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace xuan5::service {

// The command line of xuan5-service without the program name. `serve` runs until
// `should_stop` turns true. Returns the process exit code: 0 done, 1 failed, 2 bad usage.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const std::function<bool()>& should_stop);

}  // namespace xuan5::service
