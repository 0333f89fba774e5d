#include "sim_options.h"

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace kvt::sim {

const char* const kSimUsage =
    "usage: kvt540m-sign-sim [--load FILE.dat] [--save FILE.dat] [--link PATH | --tcp HOST:PORT]\n"
    "                        [--log FILE]\n"
    "                        [--rs485 --slave N[,N...]] [--answer-delay MS] [--line-rate]\n"
    "                        [--split] [--reply N=TEXT]... [--stats]\n"
    "Prints the device path of the simulated sign (with --tcp its address, tcp://HOST:PORT;\n"
    "port 0 takes a free one), then answers on it until SIGINT or SIGTERM.\n"
    "--rs485 without --slave answers slave 0. --reply N=TEXT answers the Nth received line\n"
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

bool ParseSlaves(const std::string& text, std::set<int>* slaves) {
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ',')) {
        int n;
        if (!ParseNumber(item, 0, 99, &n)) return false;
        slaves->insert(n);
    }
    return !slaves->empty();
}

bool ParseReply(const std::string& text, std::map<int, std::string>* replies) {
    size_t eq = text.find('=');
    int n;
    if (eq == std::string::npos || !ParseNumber(text.substr(0, eq), 1, 1000000000, &n)) return false;
    (*replies)[n] = text.substr(eq + 1);
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
                                                             "--reply"};
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
        else ok = ParseReply(value, &options->replies);
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
    return true;
}

}  // namespace kvt::sim
