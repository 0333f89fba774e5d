// A traffic trace: one line per line sent and received on the link,
// appended to a file for a support request:
//
//   1234.567 > /dev/ttyUSB0 PH08\r\n
//   1234.601 < /dev/ttyUSB0 GO\r\n
//
// (monotonic seconds with milliseconds, the direction, the port, the bytes
// with CR, LF, backslash and non-printable bytes escaped). Lines are written
// by a thread of the trace's own, so a slow or failing file never holds up
// the link; a file that cannot be written is reported once and the trace
// stops.
#pragma once

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace kvt {

class Trace {
public:
    // Called once, on the trace's thread, when the file cannot be written.
    using Report = std::function<void(const std::string& text)>;

    Trace(std::string path, Report report);
    ~Trace();  // writes what is queued, then closes the file
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    // Opens the file for appending; false (reported) when it cannot be.
    bool Open();

    enum class Direction { Sent, Received };
    // Thread-safe and quick: queues the line for the trace's thread.
    void Record(Direction direction, const std::string& port, const std::string& bytes);

    // The bytes as the trace shows them.
    static std::string Escape(const std::string& bytes);

private:
    void WriterLoop();
    void Fail(const std::string& why);

    std::string path_;
    Report report_;
    std::FILE* file_ = nullptr;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> queue_;
    long dropped_ = 0;     // lines not queued because the writer fell behind
    bool stopping_ = false;
    bool failed_ = false;  // touched under mutex_
    std::thread writer_;
};

}  // namespace kvt
