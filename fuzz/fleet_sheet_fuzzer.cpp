// The fleet sheet on any bytes (as for a read: no file is opened): a
// refused sheet gives no line and says why in a few bounded lines; a taken
// one gives lines of distinct devices, each an RS-232C line of one sign or
// an RS-485 line of distinct slaves 0..31, every sign named, the names
// distinct.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "exchange/fleet_sheet.h"
#include "fuzz_support.h"
#include "protocol/command_set.h"

using namespace kvt;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    FleetSheetUse use;
    use.files = false;
    std::vector<FleetLine> lines;
    const std::vector<std::string> problems = ReadFleetSheet(bytes, ".", use, &lines);
    fuzz::CheckProblemLines(problems);
    if (!problems.empty()) {
        fuzz::Check(lines.empty(), "a refused sheet gives no line");
        return 0;
    }
    std::set<std::string> devices, names;
    for (const FleetLine& line : lines) {
        fuzz::Check(devices.insert(line.device).second && !line.signs.empty(),
                    "each line a device of its own, with signs");
        std::set<int> slaves;
        for (const FleetSign& sign : line.signs) {
            fuzz::Check(!sign.name.empty() && names.insert(sign.name).second, "distinct names");
            fuzz::Check(sign.slave == kNoSlave ? line.signs.size() == 1
                                               : sign.slave >= 0 && sign.slave <= kLastSlave &&
                                                     slaves.insert(sign.slave).second,
                        "one RS-232C sign, or distinct slaves 0..31");
        }
    }
    return 0;
}
