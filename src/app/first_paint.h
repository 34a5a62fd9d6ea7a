// Start-up measurement: the time from main() to the window's first finished paint, for the
// start-up benchmark. Set XUAN5_FIRST_PAINT_PROBE in the environment and the program prints
// "first paint: <ms> ms" on standard output once the window has painted, then ends.
#pragma once

#include <chrono>

class QWidget;

namespace xuan5::ui {

inline constexpr const char* kFirstPaintProbeVariable = "XUAN5_FIRST_PAINT_PROBE";

// Watches `window` when the probe is asked for; does nothing otherwise.
void WatchFirstPaint(QWidget& window, std::chrono::steady_clock::time_point started);

}  // namespace xuan5::ui
