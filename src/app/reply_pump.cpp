#include "app/reply_pump.h"

#include <QMetaObject>

#include "serial/reply_interpreter.h"

namespace kvt {

ReplyPump::ReplyPump(Interpreter interpret, QObject* parent)
    : QObject(parent), interpret_(std::move(interpret)) {
    if (!interpret_) interpret_ = [](const std::string& line) { InterpretReply(line); };
}

void ReplyPump::Post(const std::string& line) {
    QMetaObject::invokeMethod(this, [this, line] { Enqueue(line); }, Qt::QueuedConnection);
}

void ReplyPump::Stop() {
    stopped_ = true;
    queue_.clear();
}

void ReplyPump::Enqueue(const std::string& line) {
    if (stopped_) return;
    queue_.push_back(line);
    // When a box of an earlier line is open we are inside its nested event
    // loop: the line waits, and the outer Drain picks it up afterwards.
    if (!busy_) Drain();
}

void ReplyPump::Drain() {
    busy_ = true;
    while (!stopped_ && !queue_.empty()) {
        std::string line = std::move(queue_.front());
        queue_.pop_front();
        interpret_(line);
    }
    busy_ = false;
}

}  // namespace kvt
