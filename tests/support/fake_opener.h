// Test helper: opens each line of a fleet run onto simulated signs on a
// clock, 10 ms after it is asked; a device in `refused` does not open.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "support/sign_on_clock.h"
#include "transfer/fleet_run.h"

namespace kvt::test {

class FakeOpener : public LineOpener {
public:
    explicit FakeOpener(Clock& clock) : clock_(clock) {}
    void Open(Session& session, const std::string& device, Done done) override {
        ++opening_;
        maxOpen = std::max(maxOpen, opening_);
        const bool ok = !refused.count(device);
        if (ok) {
            auto& bus = buses[device];
            bus = std::make_unique<SignOnClock>(session, clock_);
            bus->AnswerAsSigns();
            bus->signs = signs[device];
            sessions[device] = &session;
        } else {
            session.Report(Outcome::Link("Cannot connect to " + device + ": Connection refused"));
        }
        timers_.push_back(clock_.NewTimer([this, done, ok] {
            --opening_;
            done(ok);
        }));
        timers_.back()->StartAt(clock_.Now() + 10);
    }

    std::map<std::string, std::map<int, sim::SignState>> signs;  // what each device's signs hold
    std::set<std::string> refused;
    std::map<std::string, std::unique_ptr<SignOnClock>> buses;
    std::map<std::string, Session*> sessions;
    int maxOpen = 0;

private:
    Clock& clock_;
    int opening_ = 0;
    std::vector<std::unique_ptr<Timer>> timers_;
};

}  // namespace kvt::test
