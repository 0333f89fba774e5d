// The command-line tool's commands and the helpers they share.
#pragma once

#include <string>
#include <vector>

#include "tools/cli/port_commands.h"
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
    bool help = false;   // --help or -h: the command's help, nothing else
};

using CliOption = options::Option<Args>;

// Every option, in the order the help lists them (cli_options.cpp).
const std::vector<CliOption>& Options();
// Whether any option is taken by the command.
bool TakesOptions(const std::string& command);

// One command of the tool.
struct CommandInfo {
    const char* name;
    const char* synopsis;  // its forms after "kvt540m-cli ", one per line; a line
                           // that starts with a blank goes on with the form above
    const char* about;     // what it does, in lines of at most 76 columns
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

// The items send takes: "all", "text", ...
std::vector<std::string> SendItems();

// The whole help (every command and option), or one command's, on standard output.
void PrintHelp();
void PrintCommandHelp(const CommandInfo& command);

// Prints the error in one line and where to find help on standard error;
// returns kExitUsage.
int UsageError(const std::string& error);

// Loads FILE.dat into the session's store; on failure prints why ("Can't file open").
bool LoadStore(Session& session, const std::string& path);
// Writes the session's store to path; on failure prints the reason. Returns
// the exit status.
int SaveStore(const Session& session, const std::string& path);

// lineMode and slaveNo from --rs485 and --slave; the port options for the link.
PortOptions ApplyLinkOptions(const Args& args, Session& session);

int RunNew(const Args& args);
int RunShow(const Args& args);
int RunCheck(const Args& args);
int RunSend(const Args& args);
int RunDisplay(const Args& args);
int RunDecode(const Args& args);
int RunRead(const Args& args);
int RunPorts(const Args& args);
int RunExport(const Args& args);
int RunImport(const Args& args);
int RunRender(const Args& args);

}  // namespace kvt::cli
