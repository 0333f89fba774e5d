#include "serial/trace.h"

#include <cerrno>
#include <cstring>
#include <ctime>
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

}  // namespace

Trace::Trace(std::string path, Report report) : path_(std::move(path)), report_(std::move(report)) {}

Trace::~Trace() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (writer_.joinable()) writer_.join();
    if (file_) std::fclose(file_);
}

bool Trace::Open() {
    file_ = std::fopen(path_.c_str(), "ae");
    if (!file_) {
        Fail(std::strerror(errno));
        return false;
    }
    writer_ = std::thread(&Trace::WriterLoop, this);
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
    wake_.notify_one();
}

void Trace::WriterLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) return;  // stopping, and everything is written
        std::deque<std::string> batch;
        batch.swap(queue_);
        const long dropped = std::exchange(dropped_, 0);
        lock.unlock();
        std::string text;
        for (const std::string& line : batch) text += line;
        if (dropped > 0) text += "... " + std::to_string(dropped) + " lines not traced\n";
        const bool ok = std::fwrite(text.data(), 1, text.size(), file_) == text.size() &&
                        std::fflush(file_) == 0;
        const int error = errno;
        lock.lock();
        if (!ok) {
            lock.unlock();
            Fail(std::strerror(error));
            return;
        }
    }
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
