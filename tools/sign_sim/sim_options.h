// Command-line options of the simulated sign.
#pragma once

#include <map>
#include <set>
#include <string>

namespace kvt::sim {

// The simulated line answers two-digit slave numbers: 00..99.
constexpr int kLastSimSlave = 99;
// --lines takes at most this many lines.
constexpr int kMostSimLines = 10000;

struct SimOptions {
    std::string load;         // --load FILE.dat: initial state
    std::string save;         // --save FILE.dat: state written on SIGINT/SIGTERM
    std::string link;         // --link PATH: symbolic link to the device
    std::string tcp;          // --tcp HOST:PORT: listen there instead of a pty
    std::string rfc2217;      // --rfc2217 HOST:PORT: listen there in RFC 2217 mode
    int lines = 0;            // --lines N: N listeners, each its own line; 0: one, as without
    bool rfc2217Refuse = false;  // --rfc2217-refuse: refuse COM-PORT-OPTION
    std::string rfc2217NoAck;    // --rfc2217-no-ack COMMAND: leave that setting unconfirmed
    bool rfc2217Chatter = false; // --rfc2217-chatter: Telnet commands in every reply
    std::string log;          // --log FILE: each received line, timestamped
    bool rs485 = false;       // --rs485: lines carry a two-digit slave number
    std::set<int> slaves;     // --slave LIST (N,N-M,...): the numbers answered to
    std::map<int, std::string> slaveLoads;    // --load-slave N=FILE.dat: that slave's state
    std::map<int, std::string> slaveReplies;  // --slave-reply N=TEXT: that slave's one answer
    int delayMs = 0;          // --answer-delay MS (or --delay MS) before each reply
    bool lineRate = false;    // --line-rate: bytes take their time on a 38400 bit/s line
    bool stats = false;       // --stats: bytes and lines on standard output at the end
    bool split = false;       // --split: each reply in two writes
    std::map<int, std::string> replies;  // --reply N=TEXT ("none": no reply)
    bool help = false;        // --help or -h: the usage, nothing else
    bool version = false;     // --version: the version, nothing else
};

// False with *error set on a usage error. Stops at --help, -h or --version.
bool ParseSimOptions(int argc, char** argv, SimOptions* options, std::string* error);

// The usage and every option on standard output.
void PrintSimUsage();

}  // namespace kvt::sim
