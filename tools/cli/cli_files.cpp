// The commands that write a settings file: new, decode and read.
#include <cstdio>

#include "settings/bounded_read.h"
#include "settings/settings_file.h"
#include "text/clipped.h"
#include "tools/cli/cli.h"

namespace kvt::cli {

namespace {

// The link hands the interpreter lines of at most this many bytes and drops
// longer ones.
constexpr size_t kMaxReplyLine = 499;

// --base FILE.dat, or the defaults the store starts with.
bool LoadBase(const Args& args, Session& session) {
    return !args.baseGiven || LoadStore(session, args.base);
}

bool OnePath(const Args& args, std::string* error) {
    if (args.positional.size() == 1) return true;
    *error = args.positional.empty() ? "a file name is needed" : "too many arguments";
    return false;
}

}  // namespace

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

int RunNew(const Args& args) {
    std::string error;
    if (!OnePath(args, &error)) return UsageError(error);
    Session session;
    return SaveStore(session, args.positional[0]);
}

// Replays captured reply lines through the interpreter, as the link would
// hand them over, and saves what the read-back replies put in the store.
int RunDecode(const Args& args) {
    std::string error;
    if (!OnePath(args, &error)) return UsageError(error);
    Session session;  // its boxes go to standard error
    if (!LoadBase(args, session)) return kExitFailed;
    ApplyLinkOptions(args, session);
    std::string input;
    const BoundedRead read = ReadWholeStream(stdin, &input);
    if (read != BoundedRead::Ok) {
        const std::string why = read == BoundedRead::TooLarge
                                    ? std::string("standard input is larger than ") + kMaxInputText
                                    : "cannot read standard input";
        std::fprintf(stderr, "kvt540m-cli: %s; %s not written\n", why.c_str(),
                     Clipped(args.positional[0]).c_str());
        return kExitFailed;
    }
    size_t start = 0;
    for (size_t lf = input.find('\n'); lf != std::string::npos; lf = input.find('\n', start)) {
        std::string line = input.substr(start, lf + 1 - start);
        start = lf + 1;
        if (line.size() <= kMaxReplyLine) session.InterpretReply(line);
    }
    return SaveStore(session, args.positional[0]);
}

int RunRead(const Args& args) {
    std::string error;
    if (!OnePath(args, &error)) return UsageError(error);
    Session session;
    if (!LoadBase(args, session)) return kExitFailed;
    const PortOptions options = ApplyLinkOptions(args, session);
    return ReadBackOverPort(session, args.positional[0], options);
}

}  // namespace kvt::cli
