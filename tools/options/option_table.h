// One table of a program's options, from which it parses its arguments,
// prints its help and (for the command-line tool) generates its Tab
// completion. Each entry says once what an option is called, what value it
// takes and how that value is checked, which commands take it and what the
// help says of it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "text/clipped.h"

namespace kvt::options {

// What a value must be. The message of a value that is not is
// "NAME needs NEED" with the range after it for a number
// ("--page needs a page number 1..32").
struct Check {
    enum Kind { Any, NonEmpty, Number, Choice, Custom };
    Kind kind = Any;
    std::string need;
    int low = 0, high = 0;      // Number
    const char* choices = "";   // Choice: the words taken, separated by blanks
    bool (*valid)(const std::string& value) = nullptr;  // Custom
};

// A value as checked: its text and, for a number, the number.
struct Value {
    std::string text;
    int number = 0;
};

// A command's own help text of an option, listed before the general one.
struct CommandHelp {
    const char* command = nullptr;  // nullptr: no entry
    const char* text = nullptr;
};

template <typename Target>
struct Option {
    const char* name;   // "--page"
    const char* value;  // the value's name in the help ("N"); nullptr: a flag, which takes none
    Check check;
    void (*store)(Target& target, const Value& value);
    const char* commands;  // the commands that take it, separated by blanks; "" for a program without commands
    const char* help;      // lines of at most 56 columns; nullptr: only the commands' own texts
    CommandHelp helpFor[2] = {};
    // How the completion offers the value when the check does not tell:
    // shell words run for it ("_kvt540m_cli_files dat"); nullptr: nothing.
    const char* complete = nullptr;
    const char* alias = nullptr;  // a second name taken as this one
};

// The stores of the common kinds of value: a flag sets its field, a text or
// a number is copied into its field (Store<Args>::Text<&Args::trace>).
template <typename Target>
struct Store {
    template <bool Target::*field>
    static void Flag(Target& target, const Value&) {
        target.*field = true;
    }
    template <std::string Target::*field>
    static void Text(Target& target, const Value& value) {
        target.*field = value.text;
    }
    template <int Target::*field>
    static void Number(Target& target, const Value& value) {
        target.*field = value.number;
    }
};

// A file name: anything but empty.
inline const Check kFileName{Check::NonEmpty, "a file name"};

// The words of a list separated by blanks.
std::vector<std::string> Words(const char* list);
bool HasWord(const char* list, const std::string& word);

// Checks a value; false with *error set ("--page needs a page number 1..32").
bool CheckValue(const char* name, const Check& check, const std::string& text, Value* value,
                std::string* error);

// Prints one option's line of help: its name and value from column 3, its
// text from column textColumn, further lines of the text indented as far.
void PrintOptionLine(const std::string& option, const std::string& text, int textColumn);

// The arguments of a command as parsed.
struct Parsed {
    std::vector<std::string> positional;
    bool help = false;  // --help or -h: nothing else counts
};

template <typename Target>
const Option<Target>* FindOption(const std::vector<Option<Target>>& table, const std::string& name,
                                 const std::string& command) {
    for (const Option<Target>& option : table) {
        const bool named = name == option.name || (option.alias && name == option.alias);
        if (named && HasWord(option.commands, command)) return &option;
    }
    return nullptr;
}

// Parses argv[first..argc) as the options of command ("" for a program
// without commands) into target. An argument without "--" in front is a
// positional one; "--name=value" and "--name value" both give a value.
// False with *error set on a usage error.
template <typename Target>
bool ParseOptions(const std::vector<Option<Target>>& table, const std::string& command, int argc,
                  char** argv, int first, Target* target, Parsed* parsed, std::string* error) {
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            parsed->help = true;
            return true;
        }
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            parsed->positional.push_back(arg);
            continue;
        }
        const size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const Option<Target>* option = FindOption(table, name, command);
        if (!option) {
            *error = "unknown option " + Clipped(name);
            return false;
        }
        Value value;
        if (!option->value) {
            if (eq != std::string::npos) {
                *error = "option " + name + " takes no value";
                return false;
            }
        } else {
            std::string text;
            if (eq != std::string::npos) {
                text = arg.substr(eq + 1);
            } else if (i + 1 < argc) {
                text = argv[++i];
            } else {
                *error = "option " + name + " needs a value";
                return false;
            }
            if (!CheckValue(option->name, option->check, text, &value, error)) return false;
        }
        option->store(*target, value);
    }
    return true;
}

// The text of an option for a command: the command's own, else the
// general one; nullptr when it has neither.
template <typename Target>
const char* HelpFor(const Option<Target>& option, const std::string& command) {
    for (const CommandHelp& own : option.helpFor)
        if (own.command && command == own.command) return own.text;
    return option.help;
}

template <typename Target>
std::string NameAndValue(const Option<Target>& option) {
    return option.value ? std::string(option.name) + " " + option.value : option.name;
}

// The help of every option: each command's own text after "COMMAND: ",
// then the general one.
template <typename Target>
void PrintAllOptions(const std::vector<Option<Target>>& table, int textColumn) {
    for (const Option<Target>& option : table) {
        for (const CommandHelp& own : option.helpFor)
            if (own.command)
                PrintOptionLine(NameAndValue(option), std::string(own.command) + ": " + own.text,
                            textColumn);
        if (option.help) PrintOptionLine(NameAndValue(option), option.help, textColumn);
    }
}

// The help of the options command takes, in the order of the table.
template <typename Target>
void PrintOptionsOf(const std::vector<Option<Target>>& table, const std::string& command,
                    int textColumn) {
    for (const Option<Target>& option : table)
        if (HasWord(option.commands, command))
            if (const char* text = HelpFor(option, command))
                PrintOptionLine(NameAndValue(option), text, textColumn);
}

}  // namespace kvt::options
