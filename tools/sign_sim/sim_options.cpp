#include "sim_options.h"

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace kvt::sim {

const char* const kSimUsage =
    "usage: kvt540m-sign-sim [--load FILE.dat] [--save FILE.dat] [--link PATH | --tcp HOST:PORT]\n"
    "                        [--log FILE]\n"
    "                        [--rs485 --slave LIST [--load-slave N=FILE.dat]... [--slave-reply N=TEXT]...]\n"
    "                        [--answer-delay MS] [--line-rate]\n"
    "                        [--split] [--reply N=TEXT]... [--stats]\n"
    "Prints the device path of the simulated sign (with --tcp its address, tcp://HOST:PORT;\n"
    "port 0 takes a free one), then answers on it until SIGINT or SIGTERM.\n"
    "--rs485 without --slave answers slave 0. --slave LIST (like 1,2,5-9) plays several signs on\n"
    "one line, each with its own state (--load for all, --load-slave N=FILE for one; --save FILE\n"
    "then writes FILE-NN.dat per slave); --slave-reply N=TEXT makes slave N answer every line\n"
    "with TEXT. --reply N=TEXT answers the Nth received line\n"
    "(counting every line) with TEXT (E1, MENU, ...; none: no reply) and does not carry it out.\n"
    "--log writes each received line after the monotonic clock's time in seconds.\n"
    "--answer-delay MS (also --delay MS) waits before each reply, as a sign's processing.\n"
    "--line-rate takes each byte received and sent the time it takes on a 38400 bit/s\n"
    "8E1 line (11 bits), so that pacing can be measured as on a real line.\n"
    "--stats prints the bytes received and sent and the lines received when it ends.\n";

namespace {

bool ParseNumber(const std::string& text, int low, int high, int* value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    *value = std::atoi(text.c_str());
    return *value >= low && *value <= high;
}

// "1,2,5-9": numbers and ranges of slave numbers 0..99.
bool ParseSlaves(const std::string& text, std::set<int>* slaves) {
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ',')) {
        const size_t dash = item.find('-');
        int first, last;
        if (dash == std::string::npos) {
            if (!ParseNumber(item, 0, 99, &first)) return false;
            last = first;
        } else if (!ParseNumber(item.substr(0, dash), 0, 99, &first) ||
                   !ParseNumber(item.substr(dash + 1), first, 99, &last)) {
            return false;
        }
        for (int n = first; n <= last; ++n) slaves->insert(n);
    }
    return !slaves->empty();
}

// "N=TEXT" with N within low..high.
bool ParseNumbered(const std::string& text, int low, int high, std::map<int, std::string>* into) {
    size_t eq = text.find('=');
    int n;
    if (eq == std::string::npos || !ParseNumber(text.substr(0, eq), low, high, &n)) return false;
    (*into)[n] = text.substr(eq + 1);
    return true;
}

}  // namespace

bool ParseSimOptions(int argc, char** argv, SimOptions* options, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--rs485") {
            options->rs485 = true;
            continue;
        }
        if (name == "--split" || name == "--line-rate" || name == "--stats") {
            (name == "--split" ? options->split
             : name == "--stats" ? options->stats
                                 : options->lineRate) = true;
            continue;
        }
        static const std::set<std::string> kValueOptions = {"--load", "--save", "--link", "--tcp", "--log",
                                                             "--slave", "--delay", "--answer-delay",
                                                             "--reply", "--load-slave",
                                                             "--slave-reply"};
        if (!kValueOptions.count(name)) {
            *error = "unknown option " + name;
            return false;
        }
        if (i + 1 >= argc) {
            *error = name + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        bool ok = true;
        if (name == "--load") options->load = value;
        else if (name == "--save") options->save = value;
        else if (name == "--link") options->link = value;
        else if (name == "--tcp") options->tcp = value;
        else if (name == "--log") options->log = value;
        else if (name == "--slave") ok = ParseSlaves(value, &options->slaves);
        else if (name == "--delay" || name == "--answer-delay") ok = ParseNumber(value, 0, 600000, &options->delayMs);
        else if (name == "--load-slave") ok = ParseNumbered(value, 0, 99, &options->slaveLoads);
        else if (name == "--slave-reply") ok = ParseNumbered(value, 0, 99, &options->slaveReplies);
        else ok = ParseNumbered(value, 1, 1000000000, &options->replies);
        if (!ok) {
            *error = "bad value for " + name + ": " + value;
            return false;
        }
    }
    if (!options->tcp.empty() && !options->link.empty()) {
        *error = "--link goes with a pseudo-terminal, not with --tcp";
        return false;
    }
    if (options->rs485 && options->slaves.empty()) options->slaves.insert(0);
    if (!options->rs485 && !options->slaves.empty()) {
        *error = "--slave needs --rs485";
        return false;
    }
    for (const auto* numbered : {&options->slaveLoads, &options->slaveReplies})
        for (const auto& entry : *numbered)
            if (!options->slaves.count(entry.first)) {
                *error = "slave " + std::to_string(entry.first) + " is not in --slave";
                return false;
            }
    return true;
}

}  // namespace kvt::sim
