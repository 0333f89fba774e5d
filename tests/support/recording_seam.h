// Test helpers: a message-box seam that records boxes instead of showing
// them, and a command port that records the lines instead of writing them.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "serial/command_port.h"
#include "serial/message_box.h"

namespace kvt::test {

class RecordingSeam : public MessageBoxSeam {
public:
    RecordingSeam() { InstallMessageBoxSeam(this); }
    ~RecordingSeam() override { InstallMessageBoxSeam(nullptr); }

    BoxResult Show(const BoxRequest& box) override {
        std::lock_guard<std::mutex> lock(mutex_);
        boxes_.push_back(box);
        if (box.buttons == BoxButtons::YesNo) {
            bool yes = answers_.empty() ? false : answers_.front();
            if (!answers_.empty()) answers_.pop_front();
            return yes ? BoxResult::Yes : BoxResult::No;
        }
        return BoxResult::Ok;
    }

    // Answers for the next Yes/No questions, in order (default No).
    void AnswerNext(bool yes) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_.push_back(yes);
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
};

class RecordingPort : public CommandPort {
public:
    RecordingPort() { InstallCommandPort(this); }
    ~RecordingPort() override { InstallCommandPort(nullptr); }
    void WritePort(const std::string& bytes) override {
        if (!closed) lines.push_back(bytes);
    }
    void ClosePort() override { closed = true; }

    std::vector<std::string> lines;
    bool closed = false;
};

}  // namespace kvt::test
