// Until the serial link exists, commands that need a port say so.
#include "tools/cli/port_commands.h"

#include <cstdio>

namespace kvt::cli {

namespace {
int NeedsLink() {
    std::fprintf(stderr, "kvt540m-cli: this command needs the serial link, which is not built yet; use --dry-run\n");
    return 2;
}
}  // namespace

int SendSingleOverPort(const Command&, const PortOptions&) { return NeedsLink(); }
int SendAllItemsOverPort(const PortOptions&) { return NeedsLink(); }
int ReadBackOverPort(const std::string&, const PortOptions&) { return NeedsLink(); }

}  // namespace kvt::cli
