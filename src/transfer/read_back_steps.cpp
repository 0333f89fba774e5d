#include "transfer/read_back_steps.h"

#include "serial/command_port.h"
#include "serial/reply_state.h"

namespace kvt {

namespace {

constexpr int kSilentStep = 97;  // sends nothing

std::string Pp(int page) {
    return {static_cast<char>('0' + page / 10), static_cast<char>('0' + page % 10)};
}

}  // namespace

std::string ReadRequestAt(int step) {
    std::string request;
    if (step >= 1 && step <= 32) request = "RCA" + Pp(step);
    else if (step >= 33 && step <= 64) request = "RP" + Pp(step - 32) + "BDLT";
    else if (step >= 65 && step <= 96) request = "RP" + Pp(step - 64) + "ICLT";
    else if (step == 98) request = "RP";
    else if (step == 99) request = "RPTCT";
    else if (step == 100) request = "RPTFB";
    else if (step == 101) request = "RPTWL";
    else if (step == 102) request = "RPH";
    else if (step == 103) request = "RPV";
    else return "";  // step 97, or no step
    return request + "\r\n";
}

RunTick ReadBackRun::Tick() {
    RunTick tick;
    const int s = BeginTick(kReadBackLastStep, &tick);
    if (s == 0) return tick;
    tick.stepDone = s;
    transferStep = s + 1;
    if (s != kSilentStep) SendCommand(ReadRequestAt(s));
    if (s == kReadBackLastStep) {
        Finish(&tick);
        return tick;
    }
    tick.periodMs = kReadBackPeriodMs;
    return tick;
}

}  // namespace kvt
