#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"

namespace {

volatile std::sig_atomic_t g_stop_requested = 0;

extern "C" void RequestStop(int) {
    g_stop_requested = 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Only a flag is set here; the serve loop sees it and shuts the server down in order, so the
    // database is closed and checkpointed normally.
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return xuan5::service::RunCommandLine(args, std::cout, std::cerr,
                                          [] { return g_stop_requested != 0; });
}
