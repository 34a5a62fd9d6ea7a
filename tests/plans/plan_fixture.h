// A loaded history, fifteen saved lines of different shapes and a curve store file in a
// temporary folder, for the plan runs.
#pragma once

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "curves/trend_line.h"
#include "oracle/literal_state.h"
#include "plans/plan_modes.h"
#include "plans/plan_settlement.h"
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

inline LiteralState LoadedState(std::uint64_t seed, int newestPeriod = 41) {
    LiteralState state;
    state.DrawHistory = RandomHistory(seed, newestPeriod);
    state.DrawSeries = BuildDrawSeries(state.DrawHistory);
    state.DrawKeys = DrawKeysFromSeries(state.DrawSeries);
    state.AllBets = BuildAllBets();
    state.UpdateCount = 2;
    state.HistoryLoaded = 1;
    return state;
}

// What a plan run reads, taken from a state.
inline PlanTables TablesOf(const LiteralState& state) {
    return {state.DrawHistory, state.DrawKeys, state.LineBases, state.TrendLine, state.log};
}

// Keeps in a state what a plan run leaves, as the window keeps it.
inline void Keep(LiteralState& state, const PlanRunOutput& out) {
    if (out.LineBases) state.LineBases = *out.LineBases;
    if (out.InstanceBases) state.InstanceBases = *out.InstanceBases;
    if (out.log) StorePlanRecord(state.log, out.log->record);
}

// The plan modes run on a state's tables, their output kept in it.
inline Result<PlanRunOutput> PlanOne(const PlanModeOneInput& input, const LineTexts& saved,
                                     LiteralState& state, std::mt19937_64& rng,
                                     const ProgressFn& progress = {}) {
    Result<PlanRunOutput> run = RunPlanModeOne(input, saved, TablesOf(state), rng, progress);
    if (run) Keep(state, *run);
    return run;
}

inline Result<PlanRunOutput> PlanTwo(const PlanModeTwoInput& input, const LineTexts& saved,
                                     LiteralState& state, std::mt19937_64& rng,
                                     const ProgressFn& progress = {}) {
    Result<PlanRunOutput> run = RunPlanModeTwo(input, saved, TablesOf(state), rng, progress);
    if (run) Keep(state, *run);
    return run;
}

// The line extraction on a state's tables, kept in it.
inline LineBasesOutput Extract(const LineBasesInput& input, LiteralState& state,
                               std::mt19937_64& rng) {
    LineBasesOutput out =
        ExtractLineBases(input, state.CurveStoreLines, state.TrendLine, state.DrawKeys, rng);
    if (out.value) state.LineBases = *out.value;
    return out;
}

// The plan log's records written for a state, kept in its log.
inline std::optional<PendingRecordOutput> Pending(const PlanLogInput& input,
                                                  std::string_view planSize, LiteralState& state) {
    auto out = WritePendingRecord(input, planSize, state.DrawHistory, state.log);
    if (out) StorePlanRecord(state.log, out->record);
    return out;
}

// The plan in force, the words and the tally box as the window holds them at a draw.
struct SettleInput : ResultRecordInput {
    ResultWords resultWords{"中中中", "一会中"};
    std::string tallyText;
};

struct SettleOutput {
    std::string record;
    std::string tallyText;
};

// The record in the log's current slot completed with the history's newest draw, judged with
// the plan in force, and the tally box with its line appended.
inline SettleOutput Settle(const SettleInput& input, LiteralState& state) {
    const JudgedRecord judged =
        JudgeRecord(MakeRecordBasis(input, state.LineBases, state.InstanceBases), input.resultWords,
                    state.DrawHistory[1], state.DrawKeys[kHistoryRows]);
    PlanRecord record;
    record.text = judged.text;
    record.state = RecordState::Settled;
    record.period = state.DrawHistory[1].period;
    record.tally = judged.tally;
    StorePlanRecord(state.log, record);
    return {judged.text,
            input.tallyText.empty() ? judged.tally : input.tallyText + "\r\n" + judged.tally};
}

inline JoinBackupOutput Join(const JoinBackupInput& input, const PlanLogInput& log,
                             LiteralState& state) {
    JoinBackupOutput out = JoinBackupIntoPlan(input, log, state.DrawHistory, state.log);
    if (out.log) StorePlanRecord(state.log, out.log->record);
    return out;
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
