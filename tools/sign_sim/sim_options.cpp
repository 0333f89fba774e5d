#include "sim_options.h"

#include "rfc2217_server.h"

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace kvt::sim {

const char* const kSimUsage =
    "Usage: kvt540m-sign-sim [OPTION]...\n"
    "Plays an LED message sign on a pseudo-terminal: prints the device path of the\n"
    "simulated sign (with --tcp or --rfc2217 its address, tcp://HOST:PORT or\n"
    "rfc2217://HOST:PORT), then answers every line it receives there as the sign\n"
    "would, until SIGINT or SIGTERM.\n"
    "\n"
    "Options:\n"
    "  --load FILE.dat       start from the settings of FILE.dat\n"
    "  --save FILE.dat       write the settings to FILE.dat when it ends (several\n"
    "                        slaves: FILE-NN.dat for each)\n"
    "  --link PATH           add a symbolic link PATH to the device\n"
    "  --tcp HOST:PORT       listen there instead, as a serial device server in raw\n"
    "                        TCP mode would (port 0 takes a free one)\n"
    "  --rfc2217 HOST:PORT   listen there as a serial device server in RFC 2217\n"
    "                        mode: Telnet, whose client sets the line (the\n"
    "                        settings asked for are confirmed and, with --stats,\n"
    "                        printed)\n"
    "  --rfc2217-refuse      (tests) refuse COM-PORT-OPTION\n"
    "  --rfc2217-no-ack COMMAND  (tests) leave that setting unconfirmed:\n"
    "                        SET-BAUDRATE, SET-DATASIZE, SET-PARITY, SET-STOPSIZE,\n"
    "                        SET-CONTROL or PURGE-DATA\n"
    "  --rfc2217-chatter     (tests) slip Telnet commands (NOP, NOTIFY-LINESTATE)\n"
    "                        into every reply\n"
    "  --log FILE            write each received line after the monotonic clock's\n"
    "                        time in seconds\n"
    "  --rs485               lines carry a two-digit slave number (slave 0 unless\n"
    "                        --slave is given)\n"
    "  --slave LIST          the slave numbers answered, like 1,2,5-9: several signs\n"
    "                        on one line, each with its own settings\n"
    "  --load-slave N=FILE.dat  start slave N from FILE.dat\n"
    "  --slave-reply N=TEXT  slave N answers every line with TEXT\n"
    "  --answer-delay MS     wait MS before each reply, as a sign's processing\n"
    "                        (also --delay MS)\n"
    "  --line-rate           each byte takes its time on a 38400 bit/s 8E1 line\n"
    "  --split               send each reply in two writes\n"
    "  --reply N=TEXT        answer the Nth received line (counting every line) with\n"
    "                        TEXT (E1, MENU, ...; none: no reply), not carrying it out\n"
    "  --stats               print the bytes received and sent and the lines\n"
    "                        received when it ends (before them, with --rfc2217\n"
    "                        each setting asked for, on a pseudo-terminal the\n"
    "                        line's speed when the last line came)\n"
    "  -h, --help            show this help\n"
    "  --version             show the version\n";

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

// The name of a COM-PORT-OPTION command the server confirms.
bool ParseCommandName(const std::string& text, std::string* into) {
    *into = text;
    for (int command = 1; command <= 12; ++command)
        if (text == Rfc2217Server::CommandName(command)) return !text.empty();
    return false;
}

}  // namespace

bool ParseSimOptions(int argc, char** argv, SimOptions* options, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--help" || name == "-h" || name == "--version") {
            (name == "--version" ? options->version : options->help) = true;
            return true;
        }
        if (name == "--rs485") {
            options->rs485 = true;
            continue;
        }
        if (name == "--rfc2217-refuse" || name == "--rfc2217-chatter") {
            (name == "--rfc2217-refuse" ? options->rfc2217Refuse : options->rfc2217Chatter) = true;
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
                                                             "--slave-reply", "--rfc2217",
                                                             "--rfc2217-no-ack"};
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
        else if (name == "--rfc2217") options->rfc2217 = value;
        else if (name == "--rfc2217-no-ack") ok = ParseCommandName(value, &options->rfc2217NoAck);
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
    if ((!options->tcp.empty() || !options->rfc2217.empty()) && !options->link.empty()) {
        *error = std::string("--link goes with a pseudo-terminal, not with ") +
                 (options->tcp.empty() ? "--rfc2217" : "--tcp");
        return false;
    }
    if (!options->tcp.empty() && !options->rfc2217.empty()) {
        *error = "--tcp and --rfc2217 go one at a time";
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
