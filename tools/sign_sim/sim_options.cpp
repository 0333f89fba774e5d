#include "sim_options.h"

#include <cstdio>

#include "protocol/slave_list.h"
#include "rfc2217_server.h"
#include "text/clipped.h"
#include "tools/options/option_table.h"

namespace kvt::sim {

namespace {

using options::Check;
using options::Value;
using options::kFileName;
using Store = options::Store<SimOptions>;

// "N=TEXT" with N within low..high.
bool SplitNumbered(const std::string& text, int low, int high, int* n, std::string* rest) {
    const size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0 || eq > 9) return false;
    Value number;
    std::string ignored;
    if (!options::CheckValue("", Check{Check::Number, "", low, high}, text.substr(0, eq), &number,
                             &ignored))
        return false;
    *n = number.number;
    *rest = text.substr(eq + 1);
    return true;
}

template <int low, int high>
bool IsNumbered(const std::string& text) {
    int n;
    std::string rest;
    return SplitNumbered(text, low, high, &n, &rest);
}

template <int low, int high>
void StoreNumbered(std::map<int, std::string>& into, const std::string& text) {
    int n;
    std::string rest;
    if (SplitNumbered(text, low, high, &n, &rest)) into[n] = rest;
}

// The name of a COM-PORT-OPTION command the server confirms.
bool IsCommandName(const std::string& text) {
    for (int command = 1; command <= 12; ++command)
        if (!text.empty() && text == Rfc2217Server::CommandName(command)) return true;
    return false;
}

bool IsSlaveList(const std::string& text) {
    std::set<int> slaves;
    return ParseSlaveList(text, kLastSimSlave, &slaves);
}

using SimOption = options::Option<SimOptions>;

const std::vector<SimOption> kOptions = {
    {"--load", "FILE.dat", kFileName, Store::Text<&SimOptions::load>, "", "start from the settings of FILE.dat"},
    {"--save", "FILE.dat", kFileName, Store::Text<&SimOptions::save>, "",
     "write the settings to FILE.dat when it ends (several\n"
     "slaves: FILE-NN.dat for each)"},
    {"--link", "PATH", {Check::NonEmpty, "a path"},
     Store::Text<&SimOptions::link>, "",
     "add a symbolic link PATH to the device"},
    {"--tcp", "HOST:PORT", {Check::NonEmpty, "HOST:PORT"},
     Store::Text<&SimOptions::tcp>, "",
     "listen there instead, as a serial device server in raw\n"
     "TCP mode would (port 0 takes a free one)"},
    {"--rfc2217", "HOST:PORT", {Check::NonEmpty, "HOST:PORT"},
     Store::Text<&SimOptions::rfc2217>, "",
     "listen there as a serial device server in RFC 2217\n"
     "mode: Telnet, whose client sets the line (the settings\n"
     "asked for are confirmed and, with --stats, printed)"},
    {"--lines", "N", {Check::Number, "a number of lines", 1, kMostSimLines},
     Store::Number<&SimOptions::lines>, "",
     "serve N lines from this one process: N listeners of\n"
     "--tcp or --rfc2217 (port 0: each its own free one),\n"
     "their addresses printed one a line, each line its own\n"
     "bus of the --slave signs with their own state; line\n"
     "L's --log and --save files have .L before their\n"
     "extension (sim.log: sim.1.log, sim.2.log, ...) and\n"
     "its --stats lines start with \"line L: \""},
    {"--rfc2217-refuse", nullptr, {}, Store::Flag<&SimOptions::rfc2217Refuse>, "",
     "(tests) refuse COM-PORT-OPTION"},
    {"--rfc2217-no-ack", "COMMAND",
     {Check::Custom, "SET-BAUDRATE, SET-DATASIZE, SET-PARITY, SET-STOPSIZE, SET-CONTROL or PURGE-DATA",
      0, 0, "", IsCommandName},
     Store::Text<&SimOptions::rfc2217NoAck>, "",
     "(tests) leave that setting unconfirmed: SET-BAUDRATE,\n"
     "SET-DATASIZE, SET-PARITY, SET-STOPSIZE, SET-CONTROL or\n"
     "PURGE-DATA"},
    {"--rfc2217-chatter", nullptr, {}, Store::Flag<&SimOptions::rfc2217Chatter>, "",
     "(tests) slip Telnet commands (NOP, NOTIFY-LINESTATE)\n"
     "into every reply"},
    {"--log", "FILE", kFileName, Store::Text<&SimOptions::log>, "",
     "write each received line after the monotonic clock's\n"
     "time in seconds"},
    {"--rs485", nullptr, {}, Store::Flag<&SimOptions::rs485>, "",
     "lines carry a two-digit slave number (slave 0 unless\n"
     "--slave is given)"},
    {"--slave", "LIST", {Check::Custom, SlaveListNeed(kLastSimSlave), 0, 0, "", IsSlaveList},
     [](SimOptions& o, const Value& v) { ParseSlaveList(v.text, kLastSimSlave, &o.slaves); }, "",
     "the slave numbers answered, like 1,2,5-9: several signs\n"
     "on one line, each with its own settings"},
    {"--load-slave", "N=FILE.dat", {Check::Custom, "N=FILE.dat with N 0..99", 0, 0, "", IsNumbered<0, kLastSimSlave>},
     [](SimOptions& o, const Value& v) { StoreNumbered<0, kLastSimSlave>(o.slaveLoads, v.text); }, "",
     "start slave N from FILE.dat"},
    {"--slave-reply", "N=TEXT", {Check::Custom, "N=TEXT with N 0..99", 0, 0, "", IsNumbered<0, kLastSimSlave>},
     [](SimOptions& o, const Value& v) { StoreNumbered<0, kLastSimSlave>(o.slaveReplies, v.text); }, "",
     "slave N answers every line with TEXT"},
    {"--answer-delay", "MS", {Check::Number, "a number of milliseconds", 0, 600000},
     Store::Number<&SimOptions::delayMs>, "",
     "wait MS before each reply, as a sign's processing\n"
     "(also --delay MS)",
     {}, "", "--delay"},
    {"--line-rate", nullptr, {}, Store::Flag<&SimOptions::lineRate>, "",
     "each byte takes its time on a 38400 bit/s 8E1 line"},
    {"--split", nullptr, {}, Store::Flag<&SimOptions::split>, "",
     "send each reply in two writes"},
    {"--reply", "N=TEXT", {Check::Custom, "N=TEXT with N 1..1000000000", 0, 0, "", IsNumbered<1, 1000000000>},
     [](SimOptions& o, const Value& v) { StoreNumbered<1, 1000000000>(o.replies, v.text); }, "",
     "answer the Nth received line (counting every line) with\n"
     "TEXT (E1, MENU, ...; none: no reply), not carrying it out"},
    {"--stats", nullptr, {}, Store::Flag<&SimOptions::stats>, "",
     "print the bytes received and sent and the lines\n"
     "received when it ends (before them, with --rfc2217\n"
     "each setting asked for, on a pseudo-terminal the\n"
     "line's speed when the last line came)"},
};

constexpr int kHelpColumn = 24;

}  // namespace

void PrintSimUsage() {
    std::printf(
        "Usage: kvt540m-sign-sim [OPTION]...\n"
        "Plays an LED message sign on a pseudo-terminal: prints the device path of the\n"
        "simulated sign (with --tcp or --rfc2217 its address, tcp://HOST:PORT or\n"
        "rfc2217://HOST:PORT), then answers every line it receives there as the sign\n"
        "would, until SIGINT or SIGTERM.\n"
        "\n"
        "Options:\n");
    options::PrintAllOptions(kOptions, kHelpColumn);
    options::PrintOptionLine("-h, --help", "show this help", kHelpColumn);
    options::PrintOptionLine("--version", "show the version", kHelpColumn);
}

bool ParseSimOptions(int argc, char** argv, SimOptions* options, std::string* error) {
    // --version, like --help, answers alone.
    for (int i = 1; i < argc && std::string(argv[i]) != "--help" && std::string(argv[i]) != "-h"; ++i)
        if (std::string(argv[i]) == "--version") {
            options->version = true;
            return true;
        }
    options::Parsed parsed;
    if (!options::ParseOptions(kOptions, "", argc, argv, 1, options, &parsed, error)) return false;
    if (parsed.help) {
        options->help = true;
        return true;
    }
    if (!parsed.positional.empty()) {
        *error = "unexpected argument " + Clipped(parsed.positional.front());
        return false;
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
    if (options->lines && options->tcp.empty() && options->rfc2217.empty()) {
        *error = "--lines goes with --tcp or --rfc2217";
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
