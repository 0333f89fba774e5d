// Test helper: a message-box seam that records the boxes instead of showing
// them. Yes/No questions take the answers given in advance (No when none is
// left). Thread-safe.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "session/message_box.h"

namespace kvt::test {

class RecordingSeam : public MessageBoxSeam {
public:
    BoxResult Show(const BoxRequest& box) override {
        bool yes = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            boxes_.push_back(box);
            if (!answers_.empty()) {
                yes = answers_.front();
                answers_.pop_front();
            }
        }
        // What happens while the box is open: time passing, another window
        // acting, a nested event loop.
        if (whileOpen) whileOpen(box);
        if (box.buttons == BoxButtons::YesNo) return yes ? BoxResult::Yes : BoxResult::No;
        return BoxResult::Ok;
    }

    void AnswerNext(bool yes) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_.push_back(yes);
    }
    std::vector<BoxRequest> boxes() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& b : boxes()) t.push_back(b.text);
        return t;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        boxes_.clear();
    }

    std::function<void(const BoxRequest&)> whileOpen;

private:
    mutable std::mutex mutex_;
    std::vector<BoxRequest> boxes_;
    std::deque<bool> answers_;
};

}  // namespace kvt::test
