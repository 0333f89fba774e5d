// The help texts: the whole usage, one command's, and the one-line usage error.
#include <cstdio>
#include <cstring>

#include "tools/cli/cli.h"

namespace kvt::cli {

namespace {

struct OptionHelp {
    const char* command;  // the command it is for; nullptr: every command that takes it
    const char* option;   // with its value, e.g. "--page N"
    const char* text;     // lines of at most 56 columns
};

const OptionHelp kOptions[] = {
    {"send", "--page N",
     "the page, 1..32, for text, text-nomem, fill, colour\n"
     "and blink (and only for them)"},
    {"render", "--page N",
     "the page, 1..32 (default: the page the file\n"
     "selects)"},
    {nullptr, "--dry-run",
     "write the bytes that would go on the wire to standard\n"
     "output; no port is opened"},
    {nullptr, "--port DEV",
     "COM1..COM3 (the devices the profile maps them to), a\n"
     "device path, tcp://HOST:PORT for a serial device\n"
     "server in raw TCP mode, or rfc2217://HOST:PORT for one\n"
     "in RFC 2217 mode, whose line the tool sets (default:\n"
     "the profile's port)"},
    {"decode", "--rs485", "the replies carry a slave number (RS-485)"},
    {nullptr, "--rs485", "an RS-485 line: commands carry the slave number"},
    {nullptr, "--slave N", "the RS-485 slave number, 0..31 (default 0)"},
    {nullptr, "--pace timed|reply",
     "timed (the default): one command every 500 ms, 200 ms\n"
     "after the texts; reply: the next command as soon as\n"
     "the sign has answered the previous one"},
    {nullptr, "--gap MS",
     "with --pace reply, the pause after each reply,\n"
     "0..10000 ms (default 20)"},
    {nullptr, "--trace FILE",
     "append every line sent and received, with the time,\n"
     "to FILE"},
    {nullptr, "--base FILE.dat",
     "what the replies do not carry comes from FILE.dat\n"
     "(default: a new file's settings)"},
    {nullptr, "--slaves LIST",
     "RS-485 slave numbers like 0,3,5-9 (RS-485 is implied)"},
    {nullptr, "--verify", "verify each slave after sending to it"},
    {nullptr, "--report FILE.json", "also write the results as JSON to FILE.json"},
    {nullptr, "--texts OUT.csv",
     "the texts, one row per page and line, UTF-8 with a\n"
     "byte order mark, CR LF line ends"},
    {nullptr, "--json OUT.json", "every setting of the file"},
    {nullptr, "--all", "every page with content, as DIR/pageNN.png"},
    {nullptr, "--out PATH", "the PNG file, or with --all the folder"},
    {nullptr, "--scale K", "pixels per dot, 1..16 (default 4)"},
};

constexpr int kOptionColumn = 22;

// The option's name: its text up to the value.
std::string NameOf(const char* option) {
    const char* space = std::strchr(option, ' ');
    return space ? std::string(option, space) : std::string(option);
}

// Prints text with every line after a newline indented by indent columns.
void PrintIndented(const char* text, int indent) {
    for (const char* c = text; *c; ++c) {
        std::putchar(*c);
        if (*c == '\n') std::printf("%*s", indent, "");
    }
    std::putchar('\n');
}

void PrintOption(const char* option, const std::string& text) {
    std::printf("  %-*s", kOptionColumn - 2, option);
    if (std::strlen(option) > size_t(kOptionColumn - 3)) std::printf("\n%*s", kOptionColumn, "");
    PrintIndented(text.c_str(), kOptionColumn);
}

// Lines of command.options in the order of the table; a command's own text
// of an option comes before the general one.
void PrintOptionsOf(const CommandInfo& command) {
    const std::string allowed = std::string(" ") + command.options + " ";
    std::vector<std::string> done;
    for (const OptionHelp& help : kOptions) {
        const std::string name = NameOf(help.option);
        if (allowed.find(" " + name + " ") == std::string::npos) continue;
        if (help.command && std::strcmp(help.command, command.name) != 0) continue;
        bool seen = false;
        for (const std::string& d : done) seen |= d == name;
        if (seen) continue;
        done.push_back(name);
        PrintOption(help.option, help.text);
    }
}

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
    for (const OptionHelp& help : kOptions)
        PrintOption(help.option, help.command ? std::string(help.command) + ": " + help.text
                                              : std::string(help.text));
    PrintOption("-h, --help", "show this help, or with a command that command's");
    PrintOption("--version", "show the version");
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
    if (*command.options) {
        std::printf("\nOptions:\n");
        PrintOptionsOf(command);
    }
}

int UsageError(const std::string& error) {
    std::fprintf(stderr, "kvt540m-cli: %s\nTry 'kvt540m-cli --help'.\n", error.c_str());
    return kExitUsage;
}

}  // namespace kvt::cli
