// kvt540m-sign-sim: a simulated sign on a pseudo-terminal. It prints the
// device path of the terminal's far end, then answers every line it
// receives there as a sign would, until SIGINT or SIGTERM.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <set>
#include <string>

#include "protocol/slave_list.h"
#include "settings/settings_file.h"
#include "text/clipped.h"
#include "sign_link.h"
#include "sim_options.h"
#include "tools/options/exit_codes.h"
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

// --save FILE for one sign; FILE-NN.dat for each of several.
std::string SavePath(const std::string& save, int slave, bool several) {
    if (!several) return save;
    const std::string suffix = "-" + kvt::TwoDigits(slave);
    const size_t dot = save.rfind('.');
    const size_t slash = save.rfind('/');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return hasExtension ? save.substr(0, dot) + suffix + save.substr(dot) : save + suffix;
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
    std::map<int, kvt::sim::SignState> signs;
    if (!LoadSigns(options, &signs, &error)) return Fail(error);
    if (!InstallSignals()) return Fail("cannot set up signals");

    kvt::sim::SignLink sign(options, signs);
    if (!sign.Open(&error)) return Fail(error);
    std::printf("%s\n", sign.devicePath().c_str());
    std::fflush(stdout);

    sign.Serve(signalPipe[0]);
    if (options.stats) {
        for (const std::string& request : sign.lineRequests()) std::printf("asked %s\n", request.c_str());
        if (sign.lineSpeed() != 0) std::printf("line speed at the last line: %ld bit/s\n", sign.lineSpeed());
        std::printf("received %ld bytes in %ld lines, sent %ld bytes\n", sign.bytesReceived(),
                    sign.linesReceived(), sign.bytesSent());
    }

    int status = kvt::kExitOk;
    for (const auto& [slave, state] : signs) {
        if (options.save.empty()) break;
        std::string message;
        const std::string path = SavePath(options.save, slave, signs.size() > 1);
        if (kvt::WriteSettingsFile(path, state.settings, state.currentPage, &message) !=
            kvt::SaveResult::Ok) {
            status = Fail(message);
        }
    }
    return status;
}
