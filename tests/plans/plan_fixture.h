// A loaded history, fifteen saved lines of different shapes and a curve store file in a
// temporary folder, for the plan runs.
#pragma once

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/app_state.h"
#include "curves/trend_line.h"
#include "store/curve_store.h"
#include "support/sample_history.h"

namespace xuan5::testing {

// Rises, falls, waves and flats, as users draw them.
inline TrendLineTable ShapedLine(int k) {
    TrendLineTable line{};
    for (int i = 1; i <= kHistoryRows; ++i) {
        const double t = i;
        double y = 0;
        switch (k % 5) {
            case 0:
                y = 25 * t * (k + 1) / 4;
                break;
            case 1:
                y = -15 * t + 0.25 * t * t;
                break;
            case 2:
                y = 1800 * std::sin(t / (6.0 + k));
                break;
            case 3:
                y = 300 * (k - 7);
                break;
            default:
                y = (i % 20 < 10 ? 40 : -30) * t;
                break;
        }
        line[i] = static_cast<int>(y);
    }
    return line;
}

inline LineTexts ShapedSavedLines() {
    LineTexts lines;
    for (int k = 0; k < kLineCount; ++k) lines[k] = SerializeTrendLine(ShapedLine(k));
    return lines;
}

inline AppState LoadedState(std::uint64_t seed, int newestPeriod = 41) {
    AppState state;
    state.DrawHistory = RandomHistory(seed, newestPeriod);
    state.DrawSeries = BuildDrawSeries(state.DrawHistory);
    state.DrawKeys = DrawKeysFromSeries(state.DrawSeries);
    state.AllBets = BuildAllBets();
    state.UpdateCount = 2;
    state.HistoryLoaded = 1;
    return state;
}

// A private folder holding data.mdb, removed with the object.
class StoreFolder {
  public:
    explicit StoreFolder(const LineTexts& lines) {
        std::random_device seed;
        dir_ = std::filesystem::temp_directory_path() /
               ("xuan5-plans-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(dir_);
        Write(lines);
    }
    ~StoreFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    StoreFolder(const StoreFolder&) = delete;
    StoreFolder& operator=(const StoreFolder&) = delete;

    void Write(const LineTexts& lines) const {
        std::ofstream out(File(), std::ios::binary | std::ios::trunc);
        out << CurveStoreText(lines);
    }
    std::filesystem::path File() const { return dir_ / "data.mdb"; }
    std::filesystem::path Missing() const { return dir_ / "absent.mdb"; }

  private:
    std::filesystem::path dir_;
};

}  // namespace xuan5::testing
