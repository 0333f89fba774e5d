#include "tools/cli/line_opener.h"

#include <cstdio>

namespace kvt::cli {

ThreadOpener::ThreadOpener(PollLoop& loop, std::string traceDir)
    : loop_(loop), traceDir_(std::move(traceDir)) {}

ThreadOpener::~ThreadOpener() { Wait(); }

void ThreadOpener::Open(Session& session, const std::string& device, Done done) {
    SerialLink& link = session.link();
    // A line whose connection drops fails its signs rather than hold up
    // every line while it connects again.
    link.SetReconnect(false);
    link.SetConsumer([this, &session](const std::string& line) {
        loop_.PostTask([&session, line] { session.InterpretReply(line); });
    });
    if (!traceDir_.empty()) {
        const std::string path = traceDir_ + "/" + FileNameOf(device) + ".trace";
        traces_.push_back(std::make_unique<Trace>(path, [](const std::string& text) {
            std::fprintf(stderr, "kvt540m-cli: %s\n", text.c_str());
        }));
        link.SetTrace(traces_.back()->Open() ? traces_.back().get() : nullptr);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const int id = nextId_++;
    threads_[id] = std::thread([this, &link, device, done, id] {
        link.OpenPort(device);
        const bool opened = link.state() == SerialLink::State::Open;
        if (opened) link.StartReadThread();
        loop_.PostTask([this, done, id, opened] {
            Join(id);
            done(opened);
        });
    });
}

void ThreadOpener::Join(int id) {
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = threads_.find(id);
        if (found == threads_.end()) return;
        thread = std::move(found->second);
        threads_.erase(found);
    }
    if (thread.joinable()) thread.join();
}

void ThreadOpener::Wait() {
    std::map<int, std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        threads.swap(threads_);
    }
    for (auto& entry : threads) entry.second.join();
}

size_t ThreadOpener::opening() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return threads_.size();
}

}  // namespace kvt::cli
