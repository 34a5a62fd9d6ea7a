// Runs one long engine job off the window's thread and hands its progress and its outcome back
// on the thread that owns the runner. The back-test and the optimiser window each own one.
#pragma once

#include <QObject>
#include <atomic>
#include <exception>
#include <functional>
#include <string>
#include <thread>
#include <utility>

#include "backtest/batch.h"

namespace xuan5::ui {

template <class Outcome>
class OffThreadRunner : public QObject {
  public:
    // The job: reads only what it was given, polls `stop`, reports through `progress`.
    using Job = std::function<Outcome(std::atomic<bool>& stop, const BacktestProgressFn& progress)>;
    // What the window is told when the job throws (out of memory on the way).
    using Failed = std::function<Outcome(const std::string& what)>;

    // `progressed` gets the percentage done, once per step; `finished` the outcome. Both are
    // called on the thread that owns the runner.
    OffThreadRunner(std::function<void(int percent)> progressed,
                    std::function<void(const Outcome&)> finished, QObject* parent)
        : QObject(parent), progressed_(std::move(progressed)), finished_(std::move(finished)) {}
    OffThreadRunner(const OffThreadRunner&) = delete;
    OffThreadRunner& operator=(const OffThreadRunner&) = delete;

    // A job still going is cancelled and waited for; once the worker has been joined, the
    // answers it posted die with this object.
    ~OffThreadRunner() override {
        stop_ = true;
        if (worker_.joinable()) worker_.join();
    }

    bool Running() const { return worker_.joinable(); }
    void Cancel() { stop_ = true; }

  protected:
    // Ignored while a job is going. The job owns its copies of what it reads.
    void Run(Job job, Failed failed) {
        if (Running()) return;
        stop_ = false;
        postedPercent_ = -1;
        worker_ = std::thread([this, job = std::move(job), failed = std::move(failed)] {
            const BacktestProgressFn progress = [this](int done, int total) { Post(done, total); };
            Outcome outcome;
            try {
                outcome = job(stop_, progress);
            } catch (const std::exception& e) {
                outcome = failed(e.what());
            }
            QMetaObject::invokeMethod(
                this, [this, outcome] { Finish(outcome); }, Qt::QueuedConnection);
        });
    }

  private:
    void Post(int done, int total) {
        const int percent = total > 0 ? static_cast<int>(100LL * done / total) : 100;
        if (postedPercent_.exchange(percent) == percent) return;
        QMetaObject::invokeMethod(
            this, [this, percent] { progressed_(percent); }, Qt::QueuedConnection);
    }

    void Finish(const Outcome& outcome) {
        if (worker_.joinable()) worker_.join();
        finished_(outcome);
    }

    std::function<void(int)> progressed_;
    std::function<void(const Outcome&)> finished_;
    std::thread worker_;
    std::atomic<bool> stop_{false};
    // The last percentage posted, so the window gets one update per step.
    std::atomic<int> postedPercent_{-1};
};

}  // namespace xuan5::ui
