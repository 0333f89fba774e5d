#include "fleet/loop_fleet_driver.h"

#include <cstdint>
#include <system_error>

#include "transfer/loop_opener.h"

namespace kvt {

namespace {

// Every sign of the lines not reached, for the reason given: the run could
// not start.
std::vector<std::vector<SlaveResult>> NoneReached(const std::vector<FleetLine>& lines,
                                                  const std::string& why) {
    std::vector<std::vector<SlaveResult>> results;
    for (const FleetLine& line : lines) {
        results.emplace_back(line.signs.size());
        for (size_t k = 0; k < line.signs.size(); ++k) {
            SlaveResult& result = results.back()[k];
            result.slave = line.signs[k].slave;
            result.notReached = true;
            result.problem = SignProblem::PortNotOpened;
            result.detail = why;
        }
    }
    return results;
}

}  // namespace

LoopFleetDriver::~LoopFleetDriver() {
    if (!thread_.joinable()) return;
    Stop();
    thread_.join();
}

bool LoopFleetDriver::Start(BusJob job, std::vector<FleetLine> lines, bool verify,
                            const Pacing& pacing, size_t jobs, FleetTracker& tracker) {
    if (thread_.joinable() || lines.empty()) return false;
    std::string failure = loop_.ok() ? "" : loop_.failure();
    if (failure.empty()) {
        try {
            thread_ = std::thread(&LoopFleetDriver::Run, this, job, lines, verify, pacing, jobs,
                                  &tracker);
            return true;
        } catch (const std::system_error& e) {
            failure = std::string("cannot start the fleet's thread: ") + e.code().message();
        }
    }
    // The run ends before it began: its signs say why.
    tracker.Finish(NoneReached(lines, failure));
    ended_ = true;
    return true;
}

void LoopFleetDriver::Run(BusJob job, std::vector<FleetLine> lines, bool verify, Pacing pacing,
                          size_t jobs, FleetTracker* tracker) {
    {
        LoopOpener opener(loop_);
        FleetRun run(loop_, opener);
        run_ = &run;
        tracker->Follow(run);
        run.Start(job, std::move(lines), verify, pacing, jobs, tracker);
        loop_.RunUntil([&run] { return !run.running(); }, INT64_MAX, nullptr);
        run_ = nullptr;
        tracker->Finish(run.results());
    }
    ended_ = true;
}

void LoopFleetDriver::Stop() {
    loop_.PostTask([this] {
        if (run_) run_->Abort();
    });
}

void LoopFleetDriver::Poll() {
    if (ended_ && thread_.joinable()) thread_.join();
}

void LoopFleetDriver::Wait() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace kvt
