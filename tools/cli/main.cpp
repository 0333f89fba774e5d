// kvt540m-cli: the settings file and the sign's command lines without a window.
#include <csignal>
#include <cstdio>
#include <string>

#include "text/clipped.h"
#include "tools/cli/cli.h"
#include "loop/open_files.h"
#include "version.h"

namespace {

// Output that did not arrive (a full disk, a closed pipe) is a failure.
int Flushed(int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "kvt540m-cli: cannot write standard output\n");
        return kvt::kExitFailed;
    }
    return status;
}

// help [COMMAND]
int Help(int argc, char** argv) {
    using namespace kvt;
    using namespace kvt::cli;
    if (argc == 2) {
        PrintHelp();
        return kExitOk;
    }
    if (argc > 3) return UsageError("help takes one command");
    const CommandInfo* command = FindCommand(argv[2]);
    if (!command) return UsageError("unknown command \"" + kvt::Clipped(argv[2]) + "\"");
    PrintCommandHelp(*command);
    return kExitOk;
}

int Run(int argc, char** argv) {
    using namespace kvt;
    using namespace kvt::cli;
    if (argc < 2) return UsageError("no command given");
    const std::string word = argv[1];
    if (word == "--help" || word == "-h" || word == "help") return Help(argc, argv);
    if (word == "--version") {
        std::printf("kvt540m-cli %s\n", kvt::kVersion);
        return kExitOk;
    }
    if (word.size() > 1 && word[0] == '-')
        return UsageError("unknown option " + kvt::Clipped(word));
    const CommandInfo* command = FindCommand(word);
    if (!command) return UsageError("unknown command \"" + kvt::Clipped(word) + "\"");
    Args args;
    std::string error;
    if (!ParseArgs(argc, argv, 2, command->name, &args, &error))
        return UsageError(word + ": " + error);
    if (args.help) {
        PrintCommandHelp(*command);
        return kExitOk;
    }
    return command->run(args);
}

}  // namespace

int main(int argc, char** argv) {
    // Under a file-size limit a write then fails with EFBIG and takes the
    // ordinary failure path (message, temporary file removed) instead of the
    // signal ending the program half-way through a save.
    std::signal(SIGXFSZ, SIG_IGN);
    // A fleet holds a descriptor or two for each line at work.
    kvt::RaiseOpenFileLimit();
    return Flushed(Run(argc, argv));
}
