#include "transfer/loop_opener.h"

#include "text/file_name.h"

namespace kvt {

LoopOpener::LoopOpener(EventLoop& loop, std::string traceDir, Trace::Report traceReport)
    : loop_(loop), traceDir_(std::move(traceDir)), traceReport_(std::move(traceReport)) {}

void LoopOpener::Open(Session& session, const std::string& device, Done done) {
    SerialLink& link = session.link();
    // A line whose connection drops fails its signs rather than hold up
    // every line while it connects again.
    link.SetReconnect(false);
    link.SetConsumer([&session](const std::string& line) { session.InterpretReply(line); });
    if (!traceDir_.empty()) {
        auto trace = std::make_unique<Trace>(traceDir_ + "/" + FileNameOf(device) + ".trace",
                                             traceReport_ ? traceReport_ : [](const std::string&) {});
        link.SetTrace(trace->Open() ? trace.get() : nullptr);
        traces_[&session] = std::move(trace);
    }
    link.OpenOn(loop_, device,
                [&link, done] { done(link.state() == SerialLink::State::Open); });
}

void LoopOpener::Release(Session& session) {
    session.link().CloseLink();
    session.link().SetTrace(nullptr);
    traces_.erase(&session);
}

}  // namespace kvt
