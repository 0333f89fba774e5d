#include "serial/trace.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <system_error>
#include <thread>
#include <utility>

#include "text/clipped.h"

namespace kvt {

namespace {

// More queued lines than this mean the file cannot keep up: later lines are
// counted, not kept.
constexpr size_t kMaxQueued = 10000;

std::string MonotonicStamp() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%ld.%03ld", static_cast<long>(now.tv_sec),
                  now.tv_nsec / 1000000);
    return stamp;
}

// The one thread that writes every trace: traces with lines queued wait
// their turn here. It is never stopped (nor waited for at exit); a trace
// that ends takes itself out and writes the rest itself.
class TraceWriter {
public:
    static TraceWriter& Instance() {
        static TraceWriter* writer = new TraceWriter;  // outlives its thread
        return *writer;
    }

    // False with the system's reason when the thread cannot be started.
    bool Start(std::string* error) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (started_) return true;
        try {
            std::thread(&TraceWriter::Work, this).detach();
        } catch (const std::system_error& e) {
            *error = e.code().message();
            return false;
        }
        started_ = true;
        return true;
    }
    void Queued(Trace* trace) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (std::find(waiting_.begin(), waiting_.end(), trace) == waiting_.end())
                waiting_.push_back(trace);
        }
        wake_.notify_one();
    }
    // Returns once the thread neither holds nor will take the trace.
    void Forget(Trace* trace) {
        std::unique_lock<std::mutex> lock(mutex_);
        waiting_.erase(std::remove(waiting_.begin(), waiting_.end(), trace), waiting_.end());
        done_.wait(lock, [&] { return writing_ != trace; });
    }

private:
    void Work() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return !waiting_.empty(); });
            writing_ = waiting_.front();
            waiting_.pop_front();
            lock.unlock();
            writing_->WriteQueued();
            lock.lock();
            writing_ = nullptr;
            done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::deque<Trace*> waiting_;
    Trace* writing_ = nullptr;
    bool started_ = false;
};

}  // namespace

Trace::Trace(std::string path, Report report) : path_(std::move(path)), report_(std::move(report)) {}

Trace::~Trace() {
    TraceWriter::Instance().Forget(this);
    WriteQueued();
    if (file_) std::fclose(file_);
}

bool Trace::Open() {
    std::string error;
    if (!TraceWriter::Instance().Start(&error)) {
        Fail("cannot start writing: " + error);
        return false;
    }
    file_ = std::fopen(path_.c_str(), "ae");
    if (!file_) {
        Fail(std::strerror(errno));
        return false;
    }
    return true;
}

std::string Trace::Escape(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\\') out += "\\\\";
        else if (c >= 0x20 && c < 0x7F) out += static_cast<char>(c);
        else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

void Trace::Record(Direction direction, const std::string& port, const std::string& bytes) {
    std::string line = MonotonicStamp() + (direction == Direction::Sent ? " > " : " < ") + port +
                       " " + Escape(bytes) + "\n";
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (failed_ || !file_) return;
        if (queue_.size() >= kMaxQueued) {
            ++dropped_;
            return;
        }
        queue_.push_back(std::move(line));
    }
    TraceWriter::Instance().Queued(this);
}

void Trace::WriteQueued() {
    std::deque<std::string> batch;
    long dropped;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (failed_ || !file_) return;
        batch.swap(queue_);
        dropped = std::exchange(dropped_, 0);
    }
    if (batch.empty() && dropped == 0) return;
    std::string text;
    for (const std::string& line : batch) text += line;
    if (dropped > 0) text += "... " + std::to_string(dropped) + " lines not traced\n";
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fflush(file_) != 0)
        Fail(std::strerror(errno));
}

void Trace::Fail(const std::string& why) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        failed_ = true;
        queue_.clear();
    }
    if (report_)
        report_("Cannot write the trace " + Clipped(path_) + ": " + why + "; tracing stops.");
}

}  // namespace kvt
