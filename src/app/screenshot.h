// The screenshot mode of the program: the window rendered offscreen into a PNG file.
#pragma once

#include <QString>

#include "ui/common/config.h"
#include "ui/common/http_request.h"

namespace xuan5::ui {

class Fmain;

// Longer than the request limit, so a fetch that works as it should always ends first.
inline constexpr int kScreenshotFetchWaitMs = kHttpTimeoutMs + 5000;

struct ScreenshotResult {
    int exitCode = 0;
    QString error;  // one line for standard error when exitCode is not 0
};

// Shows the window at the asked size (never below its smallest), presses "手动更新" first when
// asked and waits up to `fetchWaitMs` for its answer to be handled, then saves the picture of the
// asked panel. A fetch whose answer was not handled in time fails the run (the picture is still
// saved, so the state it shows can be looked at).
ScreenshotResult TakeScreenshot(Fmain& window, const AppConfig& config,
                                int fetchWaitMs = kScreenshotFetchWaitMs);

}  // namespace xuan5::ui
