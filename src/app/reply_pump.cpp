#include "app/reply_pump.h"

#include <QMetaObject>

#include "session/session.h"

namespace kvt {

ReplyPump::ReplyPump(Session& session, QObject* parent) : QObject(parent), session_(session) {}

void ReplyPump::Post(const std::string& line) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopped_) return;
        queue_.push_back(line);
        if (wakePosted_) return;
        wakePosted_ = true;
    }
    // The line itself travels through the queue under the mutex; the queued
    // call only wakes the window thread, carrying nothing.
    QMetaObject::invokeMethod(this, "Drain", Qt::QueuedConnection);
}

void ReplyPump::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    queue_.clear();
}

std::size_t ReplyPump::waiting() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size();
}

bool ReplyPump::TakeLine(std::string* line) {
    std::lock_guard<std::mutex> lock(mutex_);
    wakePosted_ = false;
    if (stopped_ || queue_.empty()) return false;
    *line = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

void ReplyPump::Drain() {
    // When a box of an earlier line is open we are inside its nested event
    // loop: the line waits, and the outer Drain picks it up afterwards.
    if (busy_) return;
    busy_ = true;
    std::string line;
    while (TakeLine(&line)) session_.InterpretReply(line);
    busy_ = false;
}

}  // namespace kvt
