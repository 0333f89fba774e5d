// The sheet of a fleet: one row per sign, under a header row naming the
// columns "port" (COM1..COM3, a device path or a network address), "slave"
// (0..31; empty for the one sign of an RS-232C line), "file" (its settings
// file, relative to the sheet's folder) and "name" (in reports; default
// PORT/NN, or PORT for an RS-232C line). Rows with the same port form one
// line. A sheet with any problem gives no line at all.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "transfer/fleet_run.h"

namespace kvt {

struct FleetSheetUse {
    // The device a port name stands for (COM1 through the profile): rows
    // whose ports stand for the same device are one line.
    std::function<std::string(const std::string& port)> device;
    // Every row needs a file that reads (deploy, verify); else files are
    // not looked at (read).
    bool files = true;
    // Why the file's settings cannot go to a sign, or "" (deploy).
    std::function<std::string(const PanelSettings& settings, int currentPage)> check;
    // Names must also differ as file names (read: DIR/NAME.dat).
    std::function<std::string(const std::string& name)> fileName;
};

// The lines of the sheet in the order of their first rows, each sign's
// settings read from its file. On a problem *lines is left empty and each
// problem is returned, naming its row and column (at most 20 and a count
// of the rest).
std::vector<std::string> ReadFleetSheet(const std::string& csv, const std::string& folder,
                                        const FleetSheetUse& use, std::vector<FleetLine>* lines);

}  // namespace kvt
