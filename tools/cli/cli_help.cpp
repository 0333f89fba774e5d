// The help texts: the whole usage, one command's, and the one-line usage error.
#include <cstdio>
#include <cstring>

#include "tools/cli/cli.h"

namespace kvt::cli {

namespace {

constexpr int kOptionColumn = 22;

// Each form after "kvt540m-cli ", the first after lead, the others after
// nextLead (as wide), their further lines below them.
void PrintSynopsis(const CommandInfo& command, const char* lead, const char* nextLead) {
    const std::string synopsis = command.synopsis;
    size_t start = 0;
    while (start < synopsis.size()) {
        size_t end = synopsis.find('\n', start);
        if (end == std::string::npos) end = synopsis.size();
        const std::string line = synopsis.substr(start, end - start);
        if (line[0] == ' ')
            std::printf("%*s%s\n", int(std::strlen(lead)) + 12, "", line.c_str());
        else
            std::printf("%skvt540m-cli %s\n", start == 0 ? lead : nextLead, line.c_str());
        start = end + 1;
    }
}

}  // namespace

void PrintHelp() {
    std::printf(
        "Usage: kvt540m-cli COMMAND [ARGUMENTS] [OPTIONS]\n"
        "  or:  kvt540m-cli help [COMMAND] | --help | --version\n"
        "Works on the LED sign's settings files (*.dat) and sends them to signs over\n"
        "a serial line (RS-232C, RS-485, or a serial device server over TCP).\n"
        "\nCommands:\n");
    for (const CommandInfo& command : Commands()) PrintSynopsis(command, "  ", "  ");
    std::printf("\nOptions:\n");
    options::PrintAllOptions(Options(), kOptionColumn);
    options::PrintOptionLine("-h, --help", "show this help, or with a command that command's",
                             kOptionColumn);
    options::PrintOptionLine("--version", "show the version", kOptionColumn);
    std::printf(
        "\nITEM: all (the default), text, text-nomem, fill, fill-all, white, colour, blink,\n"
        "      page, time, hpos or vpos.\n"
        "'kvt540m-cli help COMMAND' or 'kvt540m-cli COMMAND --help' shows what a\n"
        "command does. Exit status: 0 success, 1 failure, 2 usage error, 3 verify found\n"
        "a difference.\n");
}

void PrintCommandHelp(const CommandInfo& command) {
    PrintSynopsis(command, "Usage: ", "   or: ");
    std::printf("%s\n", command.about);
    if (TakesOptions(command.name)) {
        std::printf("\nOptions:\n");
        options::PrintOptionsOf(Options(), command.name, kOptionColumn);
    }
}

int UsageError(const std::string& error) {
    std::fprintf(stderr, "kvt540m-cli: %s\nTry 'kvt540m-cli --help'.\n", error.c_str());
    return kExitUsage;
}

}  // namespace kvt::cli
