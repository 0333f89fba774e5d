// The table of commands: names, synopses and what each does.
#include "tools/cli/cli.h"

namespace kvt::cli {

namespace {

// A function's own, so that it is built after the items it names.
const std::vector<CommandInfo>& Table() {
    static const std::vector<CommandInfo> commands = {
    {"new", "new OUT.dat",
     "Writes a settings file with the settings a new document starts with.", RunNew},
    {"show", "show FILE.dat",
     "Lists the settings of FILE.dat page by page, then the page selection and\n"
     "the position trim.",
     RunShow},
    {"check", "check FILE.dat",
     "Lists every command the sign would refuse from FILE.dat's values, with the\n"
     "message the program shows; exits 1 when there is one.",
     RunCheck},
    {"send", "send FILE.dat [ITEM] [--page N] [--dry-run] [--port DEV]\n"
     "     [--rs485] [--slave N] [--pace timed|reply] [--gap MS]\n"
     "     [--trace FILE]",
     "Sends ITEM of FILE.dat to the sign. ITEM is " +
         SendItemList("all (the default: every setting, 102 commands)", 75, 44, ""),
     RunSend},
    {"display", "display on|off [--dry-run] [--port DEV] [--rs485] [--slave N]\n"
     "        [--trace FILE]",
     "Turns the sign's display on or off.", RunDisplay},
    {"decode", "decode OUT.dat [--base FILE.dat] [--rs485]",
     "Reads the sign's replies to a read-back, as captured lines, from standard\n"
     "input and writes the settings they carry to OUT.dat.",
     RunDecode},
    {"read", "read OUT.dat [--base FILE.dat] [--port DEV] [--rs485]\n"
     "     [--slave N] [--pace timed|reply] [--gap MS] [--trace FILE]",
     "Reads every setting back from the sign into OUT.dat. OUT.dat is written only\n"
     "when every request was answered; otherwise it stays as it was (exit 1).",
     RunRead},
    {"verify", "verify FILE.dat [--port DEV] [--rs485 --slave N]\n"
     "       [--pace timed|reply] [--gap MS] [--trace FILE]",
     "Reads every setting back from the sign and prints each difference from\n"
     "FILE.dat. Exits 0 when they agree, 3 when they differ, 1 when the read-back\n"
     "failed.",
     RunVerify},
    {"deploy", "deploy FILE.dat --slaves LIST [--verify] [--port DEV]\n"
     "       [--pace timed|reply] [--gap MS] [--report FILE.json]\n"
     "       [--trace FILE]",
     "Sends FILE.dat to each RS-485 slave of LIST, and verifies each with --verify.\n"
     "Shows progress on standard error and a table at the end; exits 0 only when\n"
     "every slave succeeded.",
     RunDeploy},
    {"read-all", "read-all DIR --slaves LIST [--port DEV] [--pace timed|reply]\n"
     "         [--gap MS] [--report FILE.json] [--trace FILE]",
     "Reads each RS-485 slave of LIST into DIR/slave-NN.dat (written only when\n"
     "every request was answered); exits 0 only when every slave succeeded.",
     RunReadAll},
    {"ports", "ports",
     "Lists the serial devices of this machine: the path to use, the kernel\n"
     "device, the driver and what is behind it.",
     RunPorts},
    {"export", "export FILE.dat [--texts OUT.csv] [--json OUT.json]",
     "Writes the texts of FILE.dat as a sheet for a spreadsheet, or every\n"
     "setting as JSON for scripts (at least one of the two).",
     RunExport},
    {"import", "import FILE.dat IN.csv|IN.json OUT.dat",
     "Writes OUT.dat: FILE.dat with the values of IN put in; what IN leaves out\n"
     "keeps FILE.dat's value. Colours by code 0..8 or name, blink by 0..4 or OFF.\n"
     "A value the sign does not take is refused (unless FILE.dat holds it\n"
     "already), naming its row and column or JSON path; OUT.dat is then not\n"
     "written (exit 1).",
     RunImport},
    {"render", "render FILE.dat [--page N] --out PAGE.png [--scale K]\n"
     "render FILE.dat --all --out DIR [--scale K]",
     "Draws a page as the sign shows it (a likeness, not exact to the dot) into\n"
     "a PNG file, or with --all every page with content into DIR/pageNN.png.",
     RunRender},
    {"fleet",
     "fleet deploy SHEET.csv [--verify] [--jobs N]\n"
     "      [--pace timed|reply] [--gap MS] [--report FILE.json]\n"
     "      [--trace DIR]\n"
     "fleet verify SHEET.csv [--jobs N] [--pace timed|reply]\n"
     "      [--gap MS] [--report FILE.json] [--trace DIR]\n"
     "fleet read SHEET.csv DIR [--jobs N] [--pace timed|reply]\n"
     "      [--gap MS] [--report FILE.json] [--trace DIR]",
     "Runs every line of SHEET.csv at once, the signs of each line one after\n"
     "another: deploy sends each sign its own file (and with --verify verifies\n"
     "it), verify compares each sign with its file, read reads each sign into\n"
     "DIR/NAME.dat (written only when every request was answered). The sheet\n"
     "has a header row naming its columns: port (COM1..COM3, a device path or\n"
     "a network address), slave (0..31; empty for the one sign of an RS-232C\n"
     "line), file (relative to the sheet's folder; not needed for read) and\n"
     "name (default PORT/NN). A sheet with a problem sends nothing. Shows a row\n"
     "per line on a terminal, then a table of each sign's result (OK, N\n"
     "differences, the sign's error, No Connect, not reached, interrupted) and\n"
     "under the name of each sign that differs its differences (at most 20 a\n"
     "sign; --report lists them all). Ctrl+C ends every line at once: the sign\n"
     "in hand is interrupted, the signs not started not reached; a second\n"
     "Ctrl+C or SIGTERM ends at once. Each line at work holds one open file\n"
     "(two with --trace); the soft limit of open files is raised to the hard\n"
     "limit. Exits 0 when every sign succeeded, 3 when verification found\n"
     "differences and nothing worse, 130 after Ctrl+C, 1 otherwise.",
     RunFleet},
    };
    return commands;
}

}  // namespace

const std::vector<CommandInfo>& Commands() { return Table(); }

const CommandInfo* FindCommand(const std::string& name) {
    for (const CommandInfo& command : Table())
        if (name == command.name) return &command;
    return nullptr;
}

}  // namespace kvt::cli
