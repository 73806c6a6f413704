#include "startup.h"

#include <QApplication>

#include "display_check.h"
#include "identity.h"
#include "platform_choice.h"

namespace startup {

int Run(int argc, char* argv[], const cli::ProgramText& program,
        const std::function<int(QApplication& app)>& run) {
  if (const auto status = cli::Handle(argc, argv, program)) return *status;
  DisplayCheck display(program.name, cli::NamesDisplay(argc, argv));
  QtArguments qtArguments(argc, argv);  // X11 where it can be reached
  QApplication app(qtArguments.argc(), qtArguments.argv());
  display.Passed();
  Identify(program);
  return run(app);
}

}  // namespace startup
