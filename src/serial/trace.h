// A traffic trace: one line per line sent and received on the link,
// appended to a file for a support request:
//
//   1234.567 > /dev/ttyUSB0 PH08\r\n
//   1234.601 < /dev/ttyUSB0 GO\r\n
//
// (monotonic seconds with milliseconds, the direction, the port, the bytes
// with CR, LF, backslash and non-printable bytes escaped). Lines are written
// by one thread that writes every trace of the process (a fleet traces each
// of its lines), so a slow or failing file never holds up the link; a file
// that cannot be written is reported once and the trace stops.
#pragma once

#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

namespace kvt {

class Trace {
public:
    // Called once, on the writing thread, when the file cannot be written.
    using Report = std::function<void(const std::string& text)>;

    Trace(std::string path, Report report);
    ~Trace();  // writes what is queued, then closes the file
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    // Opens the file for appending; false (reported) when it cannot be, or
    // when the writing thread cannot be started.
    bool Open();

    enum class Direction { Sent, Received };
    // Thread-safe and quick: queues the line for the writing thread.
    void Record(Direction direction, const std::string& port, const std::string& bytes);

    // The bytes as the trace shows them.
    static std::string Escape(const std::string& bytes);

    // Writes what is queued (on the writing thread, or on the owner's as
    // the trace ends).
    void WriteQueued();

private:
    void Fail(const std::string& why);

    std::string path_;
    Report report_;
    std::FILE* file_ = nullptr;
    std::mutex mutex_;
    std::deque<std::string> queue_;
    long dropped_ = 0;     // lines not queued because the writer fell behind
    bool failed_ = false;  // touched under mutex_
};

}  // namespace kvt
