// Test helper: the far end of a session's line on a clock. It records every
// line written with its time and answers it after answerDelayMs, as the
// window thread would interpret the reader's line: answer(line without its
// prefix, 1-based number of the line) gives the reply, "" is silence.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "session/session.h"
#include "support/recording_seam.h"
#include "tools/sign_sim/sign_answers.h"
#include "loop/clock.h"
#include "transfer/sign_result.h"
#include "transfer/virtual_clock.h"

namespace kvt::test {

class SignOnClock : public CommandPort {
public:
    // Becomes the session's port.
    SignOnClock(Session& session, Clock& clock) : session_(session), clock_(clock) {
        session_.SetPort(this);
    }

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
    // Answers as simulated signs do, 5 ms after each command: on an RS-485
    // line the sign of the slave in `signs` (silent when there is none) or
    // the text in `forced`; on an RS-232C line signs[kNoSlave].
    void AnswerAsSigns() {
        answerDelayMs = 5;
        answer = [this](const std::string& line, size_t) -> std::string {
            const int slave = session_.lineMode != 0 ? session_.slaveNo : kNoSlave;
            ++linesTo[slave];
            if (forced.count(slave)) return forced[slave] + "\r\n";
            if (signs.count(slave)) return sim::AnswerLine(signs[slave], line);
            return "";
        };
    }

    // Time of the first line that starts with head, or -1.
    Millis TimeOf(const std::string& head) const {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].compare(0, head.size(), head) == 0) return times[i];
        return -1;
    }

    std::function<std::string(const std::string& line, size_t n)> answer;
    Millis answerDelayMs = 10;
    std::vector<std::string> lines;
    std::vector<Millis> times;
    bool closed = false;
    // AnswerAsSigns: the signs by slave, the slaves that answer a fixed text,
    // and the lines each slave was sent.
    std::map<int, sim::SignState> signs;
    std::map<int, std::string> forced;
    std::map<int, int> linesTo;

private:
    Session& session_;
    Clock& clock_;
    std::vector<std::unique_ptr<Timer>> answers_;
};

// Advances the clock 100 ms at a time while `going` says so, for at most
// limitMs; false when it still does then.
inline bool RunClockWhile(VirtualClock& clock, const std::function<bool()>& going, Millis limitMs) {
    for (Millis waited = 0; waited < limitMs && going(); waited += 100) clock.Advance(100);
    return !going();
}

// A session whose boxes are recorded and whose command lines go to a sign
// that does not answer.
struct RecordedSession {
    VirtualClock clock;
    RecordingSeam seam;
    Session session{&seam};
    SignOnClock port{session, clock};
};

}  // namespace kvt::test
