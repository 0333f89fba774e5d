// What the commands share: reading their input, loading and saving the
// store, the link options.
#include <cstdio>

#include "settings/bounded_read.h"
#include "settings/settings_file.h"
#include "text/clipped.h"
#include "tools/cli/cli.h"

namespace kvt::cli {

bool OnePath(const Args& args, std::string* error) {
    if (args.positional.size() == 1) return true;
    *error = args.positional.empty() ? "a file name is needed" : "too many arguments";
    return false;
}

bool ReadInput(const std::string& path, std::string* bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    const BoundedRead read = file ? ReadWholeStream(file, bytes) : BoundedRead::Failed;
    if (file) std::fclose(file);
    if (read == BoundedRead::TooLarge)
        std::fprintf(stderr, "%s\n", TooLargeMessage(path).c_str());
    else if (read == BoundedRead::Failed)
        std::fprintf(stderr, "kvt540m-cli: cannot read %s\n", Clipped(path).c_str());
    return read == BoundedRead::Ok;
}

bool LoadStore(Session& session, const std::string& path) {
    std::string message;
    if (ReadSettingsFile(path, &session.panelSettings, &session.currentPage, &message)) return true;
    std::fprintf(stderr, "%s\n", message.c_str());
    return false;
}

int SaveStore(const Session& session, const std::string& path) {
    std::string message;
    if (WriteSettingsFile(path, session.panelSettings, session.currentPage, &message) ==
        SaveResult::Ok)
        return kExitOk;
    std::fprintf(stderr, "%s\n", message.c_str());
    return kExitFailed;
}

PortOptions ApplyLinkOptions(const Args& args, Session& session) {
    PortOptions options;
    options.port = args.port;
    options.rs485 = args.rs485;
    options.slave = args.slave;
    options.pacing = args.pacing;
    options.trace = args.trace;
    session.lineMode = args.rs485 ? 1 : 0;
    session.slaveNo = args.slave < 0 ? 0 : args.slave;
    return options;
}

}  // namespace kvt::cli
