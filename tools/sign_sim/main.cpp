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
#include <string>

#include "settings/panel_settings.h"
#include "settings/settings_file.h"
#include "sign_link.h"
#include "sim_options.h"

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
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    kvt::sim::SimOptions options;
    std::string error;
    if (!kvt::sim::ParseSimOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "kvt540m-sign-sim: %s\n%s", error.c_str(), kvt::sim::kSimUsage);
        return 2;
    }
    kvt::ResetSettings();
    std::string message;
    if (!options.load.empty() && !kvt::ReadSettingsFile(options.load, &message))
        return Fail(message == "Can't file open" ? message + ": " + options.load : message);
    if (!InstallSignals()) return Fail("cannot set up signals");

    kvt::sim::SignLink sign(options);
    if (!sign.Open(&error)) return Fail(error);
    std::printf("%s\n", sign.devicePath().c_str());
    std::fflush(stdout);

    sign.Serve(signalPipe[0]);

    int status = 0;
    if (!options.save.empty()) {
        if (kvt::WriteSettingsFile(options.save, &message) != kvt::SaveResult::Ok) {
            status = Fail(message);
        }
    }
    return status;
}
