// What the simulated sign does with one received line: a set command with
// the exact layout changes the sign's state and is answered "GO"; a read
// request is answered from the state in the reply layout the host decodes;
// anything else is answered "E3".
#pragma once

#include <string>

#include "settings/panel_settings.h"

namespace kvt::sim {

// What one sign holds.
struct SignState {
    SignState() { ResetPanelSettings(&settings); }
    PanelSettings settings;
    int currentPage = 0;  // the selected page (when not in sequence)
    int displayOn = 1;    // "IDON"/"IDOF"
};

// line: one line without the RS-485 prefix, CR LF included. Returns the
// reply, CR LF included.
std::string AnswerLine(SignState& state, const std::string& line);

}  // namespace kvt::sim
