// Test helper: simulated signs on one line, answering on a clock 5 ms after
// each command as the simulated sign does. On an RS-485 line a slave not in
// `signs` is silent and one in `forced` answers with that text; on an
// RS-232C line (rs232) the one sign is signs[kNoSlave].
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "session/session.h"
#include "tools/sign_sim/sign_answers.h"
#include "transfer/bus_run.h"
#include "transfer/clock.h"

namespace kvt::test {

class FakeBus : public CommandPort {
public:
    FakeBus(Session& session, Clock& clock, bool rs232 = false)
        : session_(session), clock_(clock), rs232_(rs232) {}

    void WritePort(const std::string& bytes) override {
        const int slave = rs232_ ? kNoSlave : std::stoi(bytes.substr(0, 2));
        const std::string prefix = rs232_ ? "" : bytes.substr(0, 2);
        ++linesTo[slave];
        std::string reply;
        if (forced.count(slave)) reply = forced[slave] + "\r\n";
        else if (signs.count(slave)) reply = sim::AnswerLine(signs[slave], bytes.substr(prefix.size()));
        else return;
        auto timer = clock_.NewTimer([this, reply = prefix + reply] { session_.InterpretReply(reply); });
        timer->StartAt(clock_.Now() + 5);
        pending_.push_back(std::move(timer));
    }
    void ClosePort() override {}

    std::map<int, sim::SignState> signs;
    std::map<int, std::string> forced;
    std::map<int, int> linesTo;

private:
    Session& session_;
    Clock& clock_;
    bool rs232_;
    std::vector<std::unique_ptr<Timer>> pending_;
};

}  // namespace kvt::test
