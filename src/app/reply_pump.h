// Brings the sign's reply lines from the link's reader thread to the window
// thread and interprets them there, in order of arrival and one at a time:
// a line that arrives while the box of an earlier line is open waits until
// that box has been dismissed. Decoding on the window thread also keeps the
// read-back decoders off the reader thread, so the store has one writer.
#pragma once

#include <deque>
#include <functional>
#include <string>

#include <QObject>

namespace kvt {

class ReplyPump : public QObject {
    Q_OBJECT
public:
    using Interpreter = std::function<void(const std::string&)>;

    // interpret defaults to InterpretReply.
    explicit ReplyPump(Interpreter interpret = {}, QObject* parent = nullptr);

    // Thread-safe: queues the line for the window thread and returns at once.
    // Suitable as the link's line consumer.
    void Post(const std::string& line);

    // Drops the waiting lines and interprets nothing more (shut-down). A line
    // whose box is open finishes; nothing follows it.
    void Stop();

    std::size_t waiting() const { return queue_.size(); }
    bool busy() const { return busy_; }

private:
    void Enqueue(const std::string& line);
    void Drain();

    Interpreter interpret_;
    std::deque<std::string> queue_;
    bool busy_ = false;
    bool stopped_ = false;
};

}  // namespace kvt
