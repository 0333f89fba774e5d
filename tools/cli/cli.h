// The command-line tool's commands and the helpers they share.
#pragma once

#include <string>
#include <vector>

#include "session/session.h"
#include "transfer/pacing.h"
#include "tools/options/exit_codes.h"
#include "tools/options/option_table.h"

namespace kvt::cli {

// The arguments after the command word.
struct Args {
    std::vector<std::string> positional;
    int page = 0;        // --page N, 1..32; 0 = not given
    bool dryRun = false;
    bool rs485 = false;
    std::string port;
    int slave = -1;      // --slave N, 0..31; -1 = not given
    bool baseGiven = false;
    std::string base;
    Pacing pacing;       // --pace timed|reply, --gap MS
    std::string trace;   // --trace FILE
    std::string slaves;  // --slaves LIST
    bool verify = false; // --verify
    std::string report;  // --report FILE.json
    std::string texts;   // --texts OUT.csv
    std::string json;    // --json OUT.json
    bool all = false;    // --all
    std::string out;     // --out PATH; "" = not given
    int scale = 0;       // --scale K; 0 = not given
    int jobs = 0;        // --jobs N; 0 = every line at once
    bool help = false;   // --help or -h: the command's help, nothing else
};

using CliOption = options::Option<Args>;

// What the commands that talk to a sign take from the options.
struct PortOptions {
    std::string port;  // "COM1".."COM3" or a device path; "" = profile
    bool rs485 = false;  // --rs485 given
    int slave = -1;      // --slave N; -1 = not given
    Pacing pacing;       // --pace, --gap
    std::string trace;   // --trace FILE; "" = none
};

// Every option, in the order the help lists them (cli_options.cpp).
const std::vector<CliOption>& Options();
// Whether any option is taken by the command.
bool TakesOptions(const std::string& command);

// One command of the tool.
struct CommandInfo {
    const char* name;
    const char* synopsis;  // its forms after "kvt540m-cli ", one per line; a line
                           // that starts with a blank goes on with the form above
    std::string about;     // what it does, in lines of at most 76 columns
    int (*run)(const Args&);
};

// Every command, in the order the help lists them.
const std::vector<CommandInfo>& Commands();
// The command of that name, or nullptr.
const CommandInfo* FindCommand(const std::string& name);

// Parses argv[first..argc) allowing only the options the command takes.
// False with *error set on a usage error.
bool ParseArgs(int argc, char** argv, int first, const std::string& command, Args* args,
               std::string* error);

// The items send takes: "all", then those of SendItems() (send_items.h).
std::vector<std::string> SendItemNames();
// They in words, after the words for "all": "ALL, text, ..., hpos or vpos."
// wrapped at the columns, the lines after the first indented.
std::string SendItemList(const std::string& all, size_t columns, size_t first, const std::string& indent);

// The whole help (every command and option), or one command's, on standard output.
void PrintHelp();
void PrintCommandHelp(const CommandInfo& command);

// Prints the error in one line and where to find help on standard error;
// returns kExitUsage.
int UsageError(const std::string& error);

// Reads a sheet or a JSON file whole. It is a few tens of kilobytes; beyond
// 1 MiB it is refused as a settings file is, after reading no more than
// that. On failure prints why.
bool ReadInput(const std::string& path, std::string* bytes);

// The one path a command takes; false with *error set otherwise.
bool OnePath(const Args& args, std::string* error);

// Loads FILE.dat into the session's store; on failure prints why ("Can't file open").
bool LoadStore(Session& session, const std::string& path);
// Writes the session's store to path; on failure prints the reason. Returns
// the exit status.
int SaveStore(const Session& session, const std::string& path);

// lineMode and slaveNo from --rs485 and --slave; the port options for the link.
PortOptions ApplyLinkOptions(const Args& args, Session& session);

// The commands, each family in a file of its own.
int RunNew(const Args& args);      // file_commands.cpp
int RunShow(const Args& args);
int RunCheck(const Args& args);
int RunSend(const Args& args);     // send_commands.cpp
int RunDisplay(const Args& args);
int RunRead(const Args& args);     // read_commands.cpp
int RunDecode(const Args& args);
int RunVerify(const Args& args);
int RunDeploy(const Args& args);   // bus_commands.cpp
int RunReadAll(const Args& args);
int RunFleet(const Args& args);    // fleet_commands.cpp
int RunExport(const Args& args);   // exchange_commands.cpp
int RunImport(const Args& args);
int RunRender(const Args& args);   // render_command.cpp
int RunPorts(const Args& args);    // ports_command.cpp

}  // namespace kvt::cli
