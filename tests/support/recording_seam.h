// Test helpers: a message-box seam that records boxes instead of showing
// them, a command port that records the lines instead of writing them, and
// a session wired to both.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "serial/command_port.h"
#include "session/message_box.h"
#include "session/session.h"

namespace kvt::test {

class RecordingSeam : public MessageBoxSeam {
public:
    BoxResult Show(const BoxRequest& box) override {
        std::function<void()> during;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            boxes_.push_back(box);
            during = whileOpen_;
        }
        // What happens while the box is open (a nested event loop).
        if (during) during();
        if (box.buttons != BoxButtons::YesNo) return BoxResult::Ok;
        std::lock_guard<std::mutex> lock(mutex_);
        bool yes = answers_.empty() ? false : answers_.front();
        if (!answers_.empty()) answers_.pop_front();
        return yes ? BoxResult::Yes : BoxResult::No;
    }

    // Answers for the next Yes/No questions, in order (default No).
    void AnswerNext(bool yes) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_.push_back(yes);
    }
    // Runs while each later box is open, as the user takes time to read it.
    void WhileOpen(std::function<void()> during) {
        std::lock_guard<std::mutex> lock(mutex_);
        whileOpen_ = std::move(during);
    }
    std::vector<BoxRequest> boxes() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_;
    }
    std::vector<std::string> texts() const {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<std::string> t;
        for (const auto& b : boxes_) t.push_back(b.text);
        return t;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        boxes_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<BoxRequest> boxes_;
    std::deque<bool> answers_;
    std::function<void()> whileOpen_;
};

class RecordingPort : public CommandPort {
public:
    void WritePort(const std::string& bytes) override {
        if (!closed) lines.push_back(bytes);
    }
    void ClosePort() override { closed = true; }

    std::vector<std::string> lines;
    bool closed = false;
};

// A session whose boxes are recorded and whose command lines go nowhere but
// into the recorder.
struct RecordedSession {
    RecordedSession() { session.SetPort(&port); }
    RecordingSeam seam;
    RecordingPort port;
    Session session{&seam};
};

}  // namespace kvt::test
