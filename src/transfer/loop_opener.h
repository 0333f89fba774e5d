// Opens the ports of a fleet's lines on the event loop that runs every line:
// name lookups, connects, negotiations and device opens never hold the loop,
// and each line's replies are interpreted on it as they come. A line's
// trace file (when a trace folder is given) is open from its opening to its
// end.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "loop/event_loop.h"
#include "serial/trace.h"
#include "transfer/fleet_run.h"

namespace kvt {

class LoopOpener : public LineOpener {
public:
    // traceDir: each line's trace in traceDir/NAME.trace, NAME made of the
    // device (FileNameOf); "": none. A trace file that cannot be written is
    // told to traceReport.
    explicit LoopOpener(EventLoop& loop, std::string traceDir = "",
                        Trace::Report traceReport = nullptr);

    void Open(Session& session, const std::string& device, Done done) override;
    void Release(Session& session) override;

private:
    EventLoop& loop_;
    std::string traceDir_;
    Trace::Report traceReport_;
    std::map<Session*, std::unique_ptr<Trace>> traces_;
};

}  // namespace kvt
