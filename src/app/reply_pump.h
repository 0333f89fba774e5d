// Brings the sign's reply lines from the link's reader thread to the window
// thread and interprets them there with the session, in order of arrival and
// one at a time: a line that arrives while the box of an earlier line is open
// waits until that box has been dismissed. Decoding on the window thread also
// keeps the read-back decoders off the reader thread, so the store has one
// writer.
#pragma once

#include <deque>
#include <mutex>
#include <string>

#include <QObject>

namespace kvt {

class Session;

class ReplyPump : public QObject {
    Q_OBJECT
public:
    // Lives on the window thread and interprets with the session there.
    explicit ReplyPump(Session& session, QObject* parent = nullptr);

    // Thread-safe: queues the line for the window thread and returns at once.
    // Suitable as the link's line consumer.
    void Post(const std::string& line);

    // Drops the waiting lines and interprets nothing more (shut-down). A line
    // whose box is open finishes; nothing follows it.
    void Stop();

    std::size_t waiting() const;
    bool busy() const { return busy_; }

private slots:
    void Drain();

private:
    bool TakeLine(std::string* line);

    Session& session_;
    // The hand-over from the reader thread: guarded by mutex_.
    mutable std::mutex mutex_;
    std::deque<std::string> queue_;
    bool wakePosted_ = false;
    bool stopped_ = false;
    // Window thread only.
    bool busy_ = false;
};

}  // namespace kvt
