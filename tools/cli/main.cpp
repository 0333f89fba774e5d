// kvt540m-cli: the settings file and the sign's command lines without a window.
#include <csignal>
#include <cstdio>
#include <cstring>

#include "tools/cli/bus_commands.h"
#include "tools/cli/cli.h"

namespace {

struct CommandEntry {
    const char* name;
    const char* options;  // the options the command takes
    int (*run)(const kvt::cli::Args&);
};

const CommandEntry kCommands[] = {
    {"new", "", kvt::cli::RunNew},
    {"show", "", kvt::cli::RunShow},
    {"check", "", kvt::cli::RunCheck},
    {"send", "--page --dry-run --port --rs485 --slave --pace --gap --trace", kvt::cli::RunSend},
    {"display", "--dry-run --port --rs485 --slave --trace", kvt::cli::RunDisplay},
    {"decode", "--base --rs485", kvt::cli::RunDecode},
    {"read", "--base --port --rs485 --slave --pace --gap --trace", kvt::cli::RunRead},
    {"ports", "", kvt::cli::RunPorts},
    {"verify", "--port --rs485 --slave --pace --gap --trace", kvt::cli::RunVerify},
    {"deploy", "--slaves --verify --port --pace --gap --report --trace", kvt::cli::RunDeploy},
    {"read-all", "--slaves --port --pace --gap --report --trace", kvt::cli::RunReadAll},
    {"export", "--texts --json", kvt::cli::RunExport},
    {"import", "", kvt::cli::RunImport},
    {"render", "--page --all --out --scale", kvt::cli::RunRender},
};

}  // namespace

int main(int argc, char** argv) {
    // Under a file-size limit a write then fails with EFBIG and takes the
    // ordinary failure path (message, temporary file removed) instead of the
    // signal ending the program half-way through a save.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc < 2) return kvt::cli::UsageError("no command given");
    for (const CommandEntry& command : kCommands) {
        if (std::strcmp(argv[1], command.name) != 0) continue;
        kvt::cli::Args args;
        std::string error;
        if (!kvt::cli::ParseArgs(argc, argv, 2, command.options, &args, &error))
            return kvt::cli::UsageError(error);
        int status = command.run(args);
        // Output that did not arrive (a full disk, a closed pipe) is a failure.
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            std::fprintf(stderr, "kvt540m-cli: cannot write standard output\n");
            return kvt::cli::kExitFailed;
        }
        return status;
    }
    return kvt::cli::UsageError(std::string("unknown command \"") + argv[1] + "\"");
}
