// What the simulated sign does with one received line: a set command with
// the exact layout changes its state (the store, panelSettings, of this
// process) and is answered "GO"; a read request is answered from the state
// in the reply layout the host decodes; anything else is answered "E3".
#pragma once

#include <string>

namespace kvt::sim {

// line: one line without the RS-485 prefix, CR LF included. Returns the
// reply, CR LF included.
std::string AnswerLine(const std::string& line);

// The display on/off state ("IDON"/"IDOF"), 1 at start.
extern int signDisplayOn;

}  // namespace kvt::sim
