// The window program's command line, answered before any window or display
// exists: --help, --version and usage errors; and the settings file to open.
#pragma once

#include <QString>

namespace kvt {

// Returns the exit status when the command line was answered here (help or
// version on standard output, a usage error on standard error), or -1 when
// the program goes on to open its window; *file is then the settings file
// named on the command line (absolute), or empty, and *sheet the sheet of
// --fleet (absolute), or empty. Takes no lock and needs no display.
int AnswerCommandLine(int argc, char* argv[], QString* file, QString* sheet = nullptr);

}  // namespace kvt
