// The tool's options: the one table from which it parses its arguments,
// prints its help and generates its Tab completion. Adding an option is one
// entry here (and its field in Args); a command's synopsis names it too.
#include "protocol/command_set.h"
#include "render/page_image.h"
#include "tools/cli/cli.h"

namespace kvt::cli {

namespace {

using options::Check;
using options::Value;
using options::kFileName;
using Store = options::Store<Args>;

constexpr const char* kPortCommands = "send display read verify deploy read-all";
constexpr const char* kRunCommands = "send read verify deploy read-all fleet";

const std::vector<CliOption> kOptions = {
    {"--page", "N", {Check::Number, "a page number", 1, kPageCount},
     Store::Number<&Args::page>, "send render", nullptr,
     {{"send",
       "the page, 1..32, for text, text-nomem, fill, colour\n"
       "and blink (and only for them)"},
      {"render",
       "the page, 1..32 (default: the page the file\n"
       "selects)"}}},
    {"--dry-run", nullptr, {}, Store::Flag<&Args::dryRun>, "send display",
     "write the bytes that would go on the wire to standard\n"
     "output; no port is opened"},
    {"--port", "DEV", {Check::NonEmpty, "a port name or device"},
     Store::Text<&Args::port>,
     kPortCommands,
     "COM1..COM3 (the devices the profile maps them to), a\n"
     "device path, tcp://HOST:PORT for a serial device\n"
     "server in raw TCP mode, or rfc2217://HOST:PORT for one\n"
     "in RFC 2217 mode, whose line the tool sets (default:\n"
     "the profile's port)",
     {}, "_kvt540m_cli_ports"},
    {"--rs485", nullptr, {}, Store::Flag<&Args::rs485>,
     "send display decode read verify", "an RS-485 line: commands carry the slave number",
     {{"decode", "the replies carry a slave number (RS-485)"}}},
    {"--slave", "N", {Check::Number, "a slave number", 0, kLastSlave},
     Store::Number<&Args::slave>, "send display read verify",
     "the RS-485 slave number, 0..31 (default 0)"},
    {"--pace", "timed|reply", {Check::Choice, "timed or reply", 0, 0, "timed reply"},
     [](Args& a, const Value& v) { a.pacing.pace = v.text == "timed" ? Pace::Timed : Pace::Reply; },
     kRunCommands,
     "timed (the default): one command every 500 ms, 200 ms\n"
     "after the texts; reply: the next command as soon as\n"
     "the sign has answered the previous one"},
    {"--gap", "MS", {Check::Number, "a number of milliseconds", 0, 10000},
     [](Args& a, const Value& v) { a.pacing.gapMs = v.number; }, kRunCommands,
     "with --pace reply, the pause after each reply,\n"
     "0..10000 ms (default 20)"},
    {"--trace", "FILE", kFileName, Store::Text<&Args::trace>,
     "send display read verify deploy read-all fleet",
     "append every line sent and received, with the time,\n"
     "to FILE",
     {{"fleet",
       "each line's trace in DIR/PORT.trace (PORT the\n"
       "device, with _ for / and :)",
       "DIR"}},
     "_kvt540m_cli_files"},
    {"--base", "FILE.dat", {},
     [](Args& a, const Value& v) {
         a.baseGiven = true;
         a.base = v.text;
     },
     "decode read",
     "what the replies do not carry comes from FILE.dat\n"
     "(default: a new file's settings)",
     {}, "_kvt540m_cli_files dat"},
    {"--slaves", "LIST", {}, Store::Text<&Args::slaves>, "deploy read-all",
     "RS-485 slave numbers like 0,3,5-9 (RS-485 is implied)"},
    {"--verify", nullptr, {}, Store::Flag<&Args::verify>, "deploy fleet",
     "verify each slave after sending to it",
     {{"fleet", "with deploy, verify each sign after sending to it"}}},
    {"--report", "FILE.json", kFileName, Store::Text<&Args::report>, "deploy read-all fleet",
     "also write the results as JSON to FILE.json", {}, "_kvt540m_cli_files json"},
    {"--texts", "OUT.csv", kFileName, Store::Text<&Args::texts>, "export",
     "the texts, one row per page and line, UTF-8 with a\n"
     "byte order mark, CR LF line ends",
     {}, "_kvt540m_cli_files csv"},
    {"--json", "OUT.json", kFileName, Store::Text<&Args::json>, "export", "every setting of the file", {},
     "_kvt540m_cli_files json"},
    {"--all", nullptr, {}, Store::Flag<&Args::all>, "render",
     "every page with content, as DIR/pageNN.png"},
    {"--out", "PATH", {Check::NonEmpty, "a file or folder name"},
     Store::Text<&Args::out>, "render",
     "the PNG file, or with --all the folder", {}, "_kvt540m_cli_out"},
    {"--jobs", "N", {Check::Number, "a number of lines", 1, 4096}, Store::Number<&Args::jobs>,
     "fleet", "at most N lines at once (default: every line)"},
    {"--scale", "K", {Check::Number, "a dot size", kMinScale, kMaxScale},
     Store::Number<&Args::scale>, "render",
     "pixels per dot, 1..16 (default 4)"},
};

}  // namespace

const std::vector<CliOption>& Options() { return kOptions; }

bool ParseArgs(int argc, char** argv, int first, const std::string& command, Args* args,
               std::string* error) {
    options::Parsed parsed;
    if (!options::ParseOptions(kOptions, command, argc, argv, first, args, &parsed, error))
        return false;
    args->positional = parsed.positional;
    args->help = parsed.help;
    return true;
}

bool TakesOptions(const std::string& command) {
    for (const CliOption& option : kOptions)
        if (options::HasWord(option.commands, command)) return true;
    return false;
}

}  // namespace kvt::cli
