// Argument parsing and the usage text.
#include <cstdio>

#include "render/page_image.h"
#include "tools/cli/cli.h"

namespace kvt::cli {

namespace {

const char* const kUsage =
    "usage:\n"
    "  kvt540m-cli new OUT.dat\n"
    "  kvt540m-cli show FILE.dat\n"
    "  kvt540m-cli check FILE.dat\n"
    "  kvt540m-cli send FILE.dat [ITEM] [--page N] [--dry-run] [--port DEV] [--rs485] [--slave N]\n"
    "                  [--pace timed|reply] [--gap MS] [--trace FILE]\n"
    "  kvt540m-cli display on|off [--dry-run] [--port DEV] [--rs485] [--slave N] [--trace FILE]\n"
    "  kvt540m-cli decode OUT.dat [--base FILE.dat] [--rs485]\n"
    "  kvt540m-cli read OUT.dat [--base FILE.dat] [--port DEV] [--rs485] [--slave N]\n"
    "                  [--pace timed|reply] [--gap MS] [--trace FILE]\n"
    "  kvt540m-cli verify FILE.dat [--port DEV] [--rs485 --slave N] [--pace timed|reply] [--gap MS]\n"
    "                  [--trace FILE]\n"
    "  kvt540m-cli deploy FILE.dat --slaves LIST [--verify] [--port DEV] [--pace timed|reply]\n"
    "                  [--gap MS] [--report FILE.json] [--trace FILE]\n"
    "  kvt540m-cli read-all DIR --slaves LIST [--port DEV] [--pace timed|reply] [--gap MS]\n"
    "                  [--report FILE.json] [--trace FILE]\n"
    "  kvt540m-cli ports\n"
    "  kvt540m-cli export FILE.dat [--texts OUT.csv] [--json OUT.json]\n"
    "  kvt540m-cli import FILE.dat IN.csv|IN.json OUT.dat\n"
    "  kvt540m-cli render FILE.dat [--page N] --out PAGE.png [--scale K]\n"
    "  kvt540m-cli render FILE.dat --all --out DIR [--scale K]\n"
    "ITEM: all (default), text, text-nomem, fill, fill-all, white, colour, blink,\n"
    "      page, time, hpos, vpos; --page N (1..32) goes with text, text-nomem,\n"
    "      fill, colour and blink, and only with them.\n"
    "--slave N: 0..31. --port DEV: COM1..COM3 (through the profile), a device path, or\n"
    "        tcp://HOST:PORT for a serial device server in raw TCP mode.\n"
    "--trace FILE: appends every line sent and received, with the time, to FILE.\n"
    "--slaves LIST: RS-485 slave numbers like 0,3,5-9 (RS-485 is implied).\n"
    "verify exits 0 when the sign holds what the file says, 3 when it differs, 1 on a link failure.\n"
    "--pace: timed (the default: one command every 500 ms, 200 ms after the texts)\n"
    "        or reply (the next command as soon as the sign has answered, after\n"
    "        --gap MS, 0..10000, default 20); they apply to the whole runs.\n"
    "export --texts: one row per page and line (page, line, text, character colour,\n"
    "        border colour, blink), UTF-8 with a byte order mark, CR LF line ends.\n"
    "export --json: every setting of the file (see the README for the shape).\n"
    "import: FILE.dat with the values of IN put in, written to OUT.dat; what IN\n"
    "        leaves out keeps FILE.dat's value. Colours by code 0..8 or name (黒 ..\n"
    "        ブランク), blink by 0..4 or OFF. A value the sign does not take is\n"
    "        refused (unless FILE.dat holds it already), naming its row and column\n"
    "        or JSON path; OUT.dat is then not written.\n"
    "render: the page as the sign shows it (a likeness, not exact to the dot);\n"
    "      --page N (1..32) defaults to the page the file selects; --all writes\n"
    "      DIR/pageNN.png for every page with content; --scale K: 1..16 pixels\n"
    "      per dot (default 4).\n";

// A whole decimal number within low..high.
bool ParseNumber(const std::string& text, int low, int high, int* value) {
    if (text.empty() || text.size() > 5) return false;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    if (n < low || n > high) return false;
    *value = n;
    return true;
}

bool Allowed(const std::string& allowed, const std::string& option) {
    size_t at = allowed.find(option);
    while (at != std::string::npos) {
        size_t end = at + option.size();
        if ((at == 0 || allowed[at - 1] == ' ') && (end == allowed.size() || allowed[end] == ' '))
            return true;
        at = allowed.find(option, end);
    }
    return false;
}

// Stores the value of an option that takes one.
bool TakeValue(const std::string& option, const std::string& value, Args* args,
               std::string* error) {
    if (option == "--page") {
        if (ParseNumber(value, 1, 32, &args->page)) return true;
        *error = "--page needs a page number 1..32";
    } else if (option == "--slave") {
        if (ParseNumber(value, 0, 31, &args->slave)) return true;
        *error = "--slave needs a slave number 0..31";
    } else if (option == "--pace") {
        if (value == "timed" || value == "reply") {
            args->pacing.pace = value == "timed" ? Pace::Timed : Pace::Reply;
            return true;
        }
        *error = "--pace needs timed or reply";
    } else if (option == "--gap") {
        int gap = 0;
        if (ParseNumber(value, 0, 10000, &gap)) {
            args->pacing.gapMs = gap;
            return true;
        }
        *error = "--gap needs a number of milliseconds 0..10000";
    } else if (option == "--scale") {
        if (ParseNumber(value, kMinScale, kMaxScale, &args->scale)) return true;
        *error = "--scale needs a dot size " + std::to_string(kMinScale) + ".." +
                 std::to_string(kMaxScale);
    } else if (option == "--out") {
        args->out = value;
        if (!value.empty()) return true;
        *error = "--out needs a file or folder name";
    } else if (option == "--port") {
        args->portGiven = true;
        args->port = value;
        if (!value.empty()) return true;
        *error = "--port needs a port name or device";
    } else if (option == "--slaves") {
        args->slaves = value;
        return true;
    } else if (option == "--report") {
        args->report = value;
        if (!value.empty()) return true;
        *error = "--report needs a file name";
    } else if (option == "--texts" || option == "--json") {
        (option == "--texts" ? args->texts : args->json) = value;
        if (!value.empty()) return true;
        *error = option + " needs a file name";
    } else if (option == "--trace") {
        args->trace = value;
        if (!value.empty()) return true;
        *error = "--trace needs a file name";
    } else {  // --base
        args->baseGiven = true;
        args->base = value;
        return true;
    }
    return false;
}

}  // namespace

bool ParseArgs(int argc, char** argv, int first, const std::string& allowed, Args* args,
               std::string* error) {
    for (int i = first; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            args->positional.push_back(arg);
            continue;
        }
        std::string option = arg;
        std::string value;
        bool inlineValue = false;
        size_t eq = arg.find('=');
        if (eq != std::string::npos) {
            option = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            inlineValue = true;
        }
        if (!Allowed(allowed, option)) {
            *error = "option " + option + " is not known here";
            return false;
        }
        if (option == "--dry-run" || option == "--rs485" || option == "--verify" ||
            option == "--all") {
            if (inlineValue) {
                *error = "option " + option + " takes no value";
                return false;
            }
            bool& flag = option == "--dry-run" ? args->dryRun
                         : option == "--rs485" ? args->rs485
                         : option == "--verify" ? args->verify
                                                : args->all;
            flag = true;
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= argc) {
                *error = "option " + option + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (!TakeValue(option, value, args, error)) return false;
    }
    return true;
}

int UsageError(const std::string& error) {
    std::fprintf(stderr, "kvt540m-cli: %s\n%s", error.c_str(), kUsage);
    return kExitUsage;
}

}  // namespace kvt::cli
