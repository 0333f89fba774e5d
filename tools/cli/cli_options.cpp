// Argument parsing.
#include "render/page_image.h"
#include "text/clipped.h"
#include "tools/cli/cli.h"

namespace kvt::cli {

namespace {

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
        if (arg == "--help" || arg == "-h") {
            args->help = true;
            return true;
        }
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
            *error = "unknown option " + Clipped(option);
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

}  // namespace kvt::cli
