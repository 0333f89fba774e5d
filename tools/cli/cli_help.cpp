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

std::string SendItemList(const std::string& all, size_t columns, size_t first,
                         const std::string& indent) {
    const std::vector<std::string> names = SendItemNames();
    std::string list = all;
    for (size_t i = 1; i < names.size(); ++i)
        list += (i + 1 == names.size() ? " or " : ", ") + names[i];
    list += ".";
    // Greedy, word by word.
    std::string text;
    size_t used = first;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(' ', start);
        if (end == std::string::npos) end = list.size();
        const std::string word = list.substr(start, end - start);
        if (start > 0 && used + 1 + word.size() > columns) {
            text += "\n" + indent;
            used = indent.size();
        } else if (start > 0) {
            text += ' ';
            ++used;
        }
        text += word;
        used += word.size();
        start = end + 1;
    }
    return text;
}

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
    std::printf("\nITEM: %s\n", SendItemList("all (the default)", 80, 6, "      ").c_str());
    std::printf(
        "'kvt540m-cli help COMMAND' or 'kvt540m-cli COMMAND --help' shows what a\n"
        "command does. Exit status: 0 success, 1 failure, 2 usage error, 3 verify found\n"
        "a difference.\n");
}

void PrintCommandHelp(const CommandInfo& command) {
    PrintSynopsis(command, "Usage: ", "   or: ");
    std::printf("%s\n", command.about.c_str());
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
