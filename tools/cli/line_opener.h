// Opens the ports of a fleet's lines each on a thread of its own, so that a
// server that is slow to connect holds up no other line, and hands each
// line's replies to the one poll loop that runs every line.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "serial/trace.h"
#include "text/file_name.h"
#include "transfer/fleet_run.h"
#include "transfer/poll_loop.h"

namespace kvt::cli {

class ThreadOpener : public LineOpener {
public:
    // traceDir: each line's trace in traceDir/NAME.trace ("": none), NAME
    // from traceName(device).
    ThreadOpener(PollLoop& loop, std::string traceDir);
    ~ThreadOpener() override;

    void Open(Session& session, const std::string& device, Done done) override;
    void Wait() override;
    // The threads at work opening ports now.
    size_t opening() const;

private:
    void Join(int id);

    PollLoop& loop_;
    std::string traceDir_;
    mutable std::mutex mutex_;  // guards threads_
    std::map<int, std::thread> threads_;
    int nextId_ = 0;
    std::vector<std::unique_ptr<Trace>> traces_;
};

}  // namespace kvt::cli
