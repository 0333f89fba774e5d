#include "tools/cli/interrupt.h"

#include <cstdio>

#include "tools/options/exit_codes.h"

namespace kvt::cli {

namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "used in a signal handler");

extern "C" void OnInterrupt(int) { interrupted = true; }

}  // namespace

InterruptGuard::InterruptGuard() {
    interrupted = false;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
}

const std::atomic<bool>& InterruptGuard::flag() { return interrupted; }

int InterruptedExit() {
    std::fprintf(stderr, "kvt540m-cli: interrupted\n");
    return kExitInterrupted;
}

}  // namespace kvt::cli
