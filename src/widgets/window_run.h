// A window's own run on the session's run engine: the dialogs and the pages
// of the settings sheet start it, show its steps and end it when they go.
// The engine does the pacing, the skipped tick while a box is open and the
// stop on an error reply; this only keeps track of whether the run going on
// is this window's, so that a window never ends another window's run.
#pragma once

#include <functional>

#include "transfer/run_engine.h"

namespace kvt {

class WindowRun : private RunView {
public:
    explicit WindowRun(RunEngine& engine) : engine_(engine) {}
    ~WindowRun() override { Abort(); }
    WindowRun(const WindowRun&) = delete;
    WindowRun& operator=(const WindowRun&) = delete;

    // False while any run is going on.
    bool Start(RunKind kind, const Pacing& pacing);
    // Ends this window's run, if one is going on (the window goes away).
    void Abort();
    bool running() const { return running_; }

    // What the window shows; each may be left empty.
    std::function<void(int step)> beforeStep;
    std::function<void(int step)> stepDone;
    std::function<void(RunEnd end)> ended;

private:
    void BeforeStep(int step) override;
    void StepDone(int step) override;
    void RunEnded(RunEnd end) override;

    RunEngine& engine_;
    bool running_ = false;
};

}  // namespace kvt
