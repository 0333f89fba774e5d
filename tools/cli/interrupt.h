// Ctrl+C (SIGINT) and SIGTERM while the tool talks to signs: the handler
// only sets a flag, which the poll loop checks, so that a run stops cleanly
// where it is. The handlers before are back when the guard goes.
#pragma once

#include <atomic>
#include <csignal>

namespace kvt::cli {

class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // Set once SIGINT or SIGTERM has come.
    static const std::atomic<bool>& flag();

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

// Prints "kvt540m-cli: interrupted" and returns the status a shell gives
// Ctrl+C (130).
int InterruptedExit();

}  // namespace kvt::cli
