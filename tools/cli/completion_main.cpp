// kvt540m-cli-completion TEMPLATE OUT: writes the tool's bash completion,
// filling the template's @COMMANDS@, @ITEMS@, @VALUE_CASES@,
// @COMMAND_OPTIONS@ and @VALUE_OPTIONS@ from the tool's tables, so that the
// completion offers what the tool takes.
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>

#include "tools/cli/cli.h"

namespace {

using namespace kvt;
using namespace kvt::cli;

std::string Joined(const std::vector<std::string>& words, const std::string& between) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : between) + word;
    return text;
}

// The first entry of each option that takes a value.
std::vector<const CliOption*> ValueOptions() {
    std::vector<const CliOption*> found;
    std::set<std::string> seen;
    for (const CliOption& option : Options())
        if (option.value && seen.insert(option.name).second) found.push_back(&option);
    return found;
}

// How the value after the option is completed.
std::string ValueCompletion(const CliOption& option) {
    const options::Check& check = option.check;
    // A few numbers are offered; a wide range (milliseconds) is not.
    if (check.kind == options::Check::Number && check.high - check.low < 100)
        return "COMPREPLY=($(compgen -W \"$(seq " + std::to_string(check.low) + " " +
               std::to_string(check.high) + ")\" -- \"$cur\")); return";
    if (check.kind == options::Check::Choice)
        return std::string("COMPREPLY=($(compgen -W '") + check.choices + "' -- \"$cur\")); return";
    if (option.complete) return std::string(option.complete) + "; return";
    return "return";
}

std::string ValueCases() {
    std::string text;
    for (const CliOption* option : ValueOptions())
        text += std::string(text.empty() ? "" : "\n") + "        " + option->name + ") " +
                ValueCompletion(*option) + " ;;";
    return text;
}

std::string CommandOptions() {
    std::string text;
    for (const CommandInfo& command : Commands()) {
        std::vector<std::string> names;
        for (const CliOption& option : Options())
            if (options::HasWord(option.commands, command.name)) names.push_back(option.name);
        if (names.empty()) continue;
        text += std::string(text.empty() ? "" : "\n") + "        " + command.name + ") options='" +
                Joined(names, " ") + "' ;;";
    }
    return text;
}

std::string ValueOptionPattern() {
    std::vector<std::string> names;
    for (const CliOption* option : ValueOptions()) names.push_back(option->name);
    return Joined(names, " | ");
}

void Replace(std::string* text, const std::string& marker, const std::string& by) {
    for (size_t at = text->find(marker); at != std::string::npos; at = text->find(marker, at + by.size()))
        text->replace(at, marker.size(), by);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: kvt540m-cli-completion TEMPLATE OUT\n";
        return kExitUsage;
    }
    std::ifstream in(argv[1]);
    std::stringstream buffer;
    buffer << in.rdbuf();
    if (!in) {
        std::cerr << "kvt540m-cli-completion: cannot read " << argv[1] << "\n";
        return kExitFailed;
    }
    std::string text = buffer.str();
    std::vector<std::string> commands;
    for (const CommandInfo& command : Commands()) commands.push_back(command.name);
    Replace(&text, "@COMMANDS@", Joined(commands, " "));
    Replace(&text, "@ITEMS@", Joined(SendItemNames(), " "));
    Replace(&text, "@VALUE_CASES@", ValueCases());
    Replace(&text, "@COMMAND_OPTIONS@", CommandOptions());
    Replace(&text, "@VALUE_OPTIONS@", ValueOptionPattern());
    std::ofstream out(argv[2]);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "kvt540m-cli-completion: cannot write " << argv[2] << "\n";
        return kExitFailed;
    }
    return kExitOk;
}
