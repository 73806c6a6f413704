// The start both programs share, up to their first window: the command line
// (--help, --version and a wrong argument end the program there), the display
// check, the application object on the platform chosen for it, and who the
// program is.
#pragma once

#include <functional>

#include "command_line.h"

class QApplication;

namespace startup {

// Starts `program` and hands its application to `run`, which makes the
// windows and runs the event loop; the program's exit status, from `run` or
// from the command line.
int Run(int argc, char* argv[], const cli::ProgramText& program,
        const std::function<int(QApplication& app)>& run);

}  // namespace startup
