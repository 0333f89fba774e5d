// One sign's world for a window test: a session whose boxes are recorded and
// whose command lines go to a stand-in sign answering on a virtual clock,
// with the run engine and the reply time-out beat on that clock.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "session/session.h"
#include "transfer/sign_line.h"
#include "transfer/virtual_clock.h"

namespace kvt::test {

// Records the boxes instead of showing them; Yes/No questions take the
// answers given in advance (No when none is left). Thread-safe.
class BoxRecorder : public MessageBoxSeam {
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

// Stands in for the sign: records every line written with its virtual time
// and answers it after answerDelayMs, as the window thread would interpret
// the reader's line. The answer comes from answer(line without its prefix,
// 1-based number of the line); an empty answer is silence.
class SignOnClock : public CommandPort {
public:
    SignOnClock(Session& session, VirtualClock& clock) : session_(session), clock_(clock) {
        session_.SetPort(this);
    }
    ~SignOnClock() override { session_.SetPort(nullptr); }

    void WritePort(const std::string& bytes) override {
        if (closed) return;
        lines.push_back(bytes);
        times.push_back(clock_.Now());
        const std::string prefix = SlavePrefix(session_.lineMode, session_.slaveNo);
        const std::string text = answer ? answer(bytes.substr(prefix.size()), lines.size()) : "";
        if (text.empty()) return;
        const std::string reply = prefix + text;
        answers_.push_back(clock_.NewTimer([this, reply] { session_.InterpretReply(reply); }));
        answers_.back()->StartAt(clock_.Now() + answerDelayMs);
    }
    void ClosePort() override { closed = true; }

    // Every line answered with the same reply ("GO\r\n").
    void AnswerAll(const std::string& reply) {
        answer = [reply](const std::string&, size_t) { return reply; };
    }

    std::function<std::string(const std::string& line, size_t n)> answer;
    Millis answerDelayMs = 10;
    std::vector<std::string> lines;
    std::vector<Millis> times;
    bool closed = false;

private:
    Session& session_;
    VirtualClock& clock_;
    std::vector<std::unique_ptr<Timer>> answers_;
};

struct SessionRig {
    VirtualClock clock;
    BoxRecorder boxes;
    Session session{&boxes};
    SignLine line{session, clock};
    RunEngine& engine = line.engine();
    ReplyTimer& replyTimer = line.replyTimer();
    SignOnClock sign{session, clock};

    // Keeps every box "open" for ms of virtual time (ticks meanwhile come
    // and are lost).
    void HoldBoxes(Millis ms) {
        boxes.whileOpen = [this, ms](const BoxRequest&) { clock.Advance(ms); };
    }
};

}  // namespace kvt::test
