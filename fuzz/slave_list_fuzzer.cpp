// --slaves on any text: a list that is taken names slaves 0..31 only, and
// the same slaves written as a list again are taken as the same.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "fuzz_support.h"
#include "protocol/command_set.h"
#include "protocol/slave_list.h"

using namespace kvt;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::set<int> slaves;
    if (!ParseSlaveList(text, kLastSlave, &slaves)) return 0;
    fuzz::Check(!slaves.empty() && *slaves.begin() >= 0 && *slaves.rbegin() <= 31, "slaves 0..31");
    std::set<int> again;
    fuzz::Check(ParseSlaveList(fuzz::SlaveListText(slaves), kLastSlave, &again) && again == slaves,
                "the list written again names the same slaves");
    return 0;
}
