// kvt540m-sign-sim: a simulated sign on a pseudo-terminal. It prints the
// device path of the terminal's far end, then answers every line it
// receives there as a sign would, until SIGINT or SIGTERM. With --lines it
// serves that many lines, each on its own TCP listener, from one loop.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "protocol/slave_list.h"
#include "settings/settings_file.h"
#include "text/clipped.h"
#include "link_loop.h"
#include "sign_link.h"
#include "sim_options.h"
#include "tools/options/exit_codes.h"
#include "loop/open_files.h"
#include "version.h"

namespace {

int signalPipe[2] = {-1, -1};

extern "C" void OnSignal(int) {
    const int saved = errno;
    char byte = 1;
    (void)!::write(signalPipe[1], &byte, 1);
    errno = saved;
}

bool InstallSignals() {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // A file-size limit fails the --save write (reported) instead of killing.
    std::signal(SIGXFSZ, SIG_IGN);
    return true;
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "kvt540m-sign-sim: %s\n", text.c_str());
    return kvt::kExitFailed;
}

// The signs on the line: slave 0 alone, or one per --slave number, each
// from --load-slave or --load.
bool LoadSigns(const kvt::sim::SimOptions& options, std::map<int, kvt::sim::SignState>* signs,
               std::string* error) {
    std::set<int> numbers = options.rs485 ? options.slaves : std::set<int>{0};
    for (int n : numbers) {
        kvt::sim::SignState& sign = (*signs)[n];
        auto own = options.slaveLoads.find(n);
        const std::string& file = own != options.slaveLoads.end() ? own->second : options.load;
        if (file.empty()) continue;
        const kvt::ReadResult read = kvt::ReadSettings(file, &sign.settings, &sign.currentPage);
        if (read != kvt::ReadResult::Ok) {
            // A file that is too large is named by its message already.
            *error = kvt::ReadFailureMessage(read, file) +
                     (read == kvt::ReadResult::CannotOpen ? ": " + kvt::Clipped(file) : "");
            return false;
        }
    }
    return true;
}

// path with suffix before its extension, if it has one.
std::string WithSuffix(const std::string& path, const std::string& suffix) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return hasExtension ? path.substr(0, dot) + suffix + path.substr(dot) : path + suffix;
}

// --save FILE for one sign; FILE-NN.dat for each of several.
std::string SavePath(const std::string& save, int slave, bool several) {
    return several ? WithSuffix(save, "-" + kvt::TwoDigits(slave)) : save;
}

// One line: its signs and the link they are reached on.
struct SimLine {
    std::map<int, kvt::sim::SignState> signs;
    std::unique_ptr<kvt::sim::SignLink> link;
};

// The options of line n of --lines: its own --log and --save files.
kvt::sim::SimOptions LineOptions(const kvt::sim::SimOptions& options, int n) {
    kvt::sim::SimOptions line = options;
    if (!options.lines) return line;
    const std::string suffix = "." + std::to_string(n);
    if (!line.log.empty()) line.log = WithSuffix(line.log, suffix);
    if (!line.save.empty()) line.save = WithSuffix(line.save, suffix);
    return line;
}

// What "line N: " starts each of line n's messages with (nothing without
// --lines).
std::string LinePrefix(const kvt::sim::SimOptions& options, int n) {
    return options.lines ? "line " + std::to_string(n) + ": " : "";
}

// Each line listens, its client and its log: the descriptors --lines needs,
// with a few for what opens on the way (name lookups, --save).
long DescriptorsForLines(const kvt::sim::SimOptions& options) {
    return static_cast<long>(options.lines) * (options.log.empty() ? 2 : 3) + 8;
}

// Writes each sign's state to its --save file; false when one failed (said
// on standard error).
bool SaveSigns(const std::map<int, kvt::sim::SignState>& signs, const std::string& save,
               const std::string& prefix) {
    bool saved = true;
    for (const auto& [slave, state] : signs) {
        std::string message;
        const std::string path = SavePath(save, slave, signs.size() > 1);
        if (kvt::WriteSettingsFile(path, state.settings, state.currentPage, &message) !=
            kvt::SaveResult::Ok) {
            Fail(prefix + message);
            saved = false;
        }
    }
    return saved;
}

void PrintStats(const kvt::sim::SignLink& sign, const std::string& prefix) {
    for (const std::string& request : sign.lineRequests())
        std::printf("%sasked %s\n", prefix.c_str(), request.c_str());
    if (sign.lineSpeed() != 0)
        std::printf("%sline speed at the last line: %ld bit/s\n", prefix.c_str(), sign.lineSpeed());
    std::printf("%sreceived %ld bytes in %ld lines, sent %ld bytes\n", prefix.c_str(),
                sign.bytesReceived(), sign.linesReceived(), sign.bytesSent());
}

}  // namespace

int main(int argc, char** argv) {
    kvt::sim::SimOptions options;
    std::string error;
    if (!kvt::sim::ParseSimOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "kvt540m-sign-sim: %s\nTry 'kvt540m-sign-sim --help'.\n",
                     error.c_str());
        return kvt::kExitUsage;
    }
    if (options.help || options.version) {
        if (options.help)
            kvt::sim::PrintSimUsage();
        else
            std::printf("kvt540m-sign-sim %s\n", kvt::kVersion);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? kvt::kExitOk : kvt::kExitFailed;
    }
    kvt::RaiseOpenFileLimit();
    std::map<int, kvt::sim::SignState> signs;
    if (!LoadSigns(options, &signs, &error)) return Fail(error);
    if (!InstallSignals()) return Fail("cannot set up signals");
    if (options.lines &&
        !kvt::RoomForOpenFiles(DescriptorsForLines(options),
                               "--lines " + std::to_string(options.lines), &error))
        return Fail(error);

    // A deque: each link holds on to its line's signs.
    std::deque<SimLine> lines;
    std::vector<kvt::sim::SignLink*> links;
    for (int n = 1; n <= std::max(options.lines, 1); ++n) {
        SimLine& line = lines.emplace_back();
        line.signs = signs;
        line.link = std::make_unique<kvt::sim::SignLink>(LineOptions(options, n), line.signs);
        if (!line.link->Open(&error)) return Fail(LinePrefix(options, n) + error);
        links.push_back(line.link.get());
    }
    for (const SimLine& line : lines) std::printf("%s\n", line.link->devicePath().c_str());
    std::fflush(stdout);

    kvt::sim::ServeLinks(links, signalPipe[0]);
    for (size_t i = 0; options.stats && i < lines.size(); ++i)
        PrintStats(*lines[i].link, LinePrefix(options, static_cast<int>(i) + 1));
    int status = kvt::kExitOk;
    for (size_t i = 0; !options.save.empty() && i < lines.size(); ++i)
        if (!SaveSigns(lines[i].signs, LineOptions(options, static_cast<int>(i) + 1).save,
                       LinePrefix(options, static_cast<int>(i) + 1)))
            status = kvt::kExitFailed;
    return status;
}
