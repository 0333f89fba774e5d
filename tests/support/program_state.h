// Test helper: the program's shared state as it is at start.
#pragma once

#include "protocol/command_set.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"

namespace kvt::test {

inline void ResetProgramState() {
    ResetSettings();
    ResetReplyState();
    lineMode = 0;
    slaveNo = 0;
    displayOn = 1;
}

}  // namespace kvt::test
