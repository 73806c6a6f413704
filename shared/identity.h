// Who the running program is: its name, which also begins every line the
// settings store writes on standard error, and its desktop entry, which the
// desktop matches its windows with. Set once, just after the application object.
#pragma once

#include "command_line.h"

namespace startup {

void Identify(const cli::ProgramText& program);

}  // namespace startup
