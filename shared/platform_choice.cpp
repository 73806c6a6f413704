#include "platform_choice.h"

#include <algorithm>
#include <cstdlib>

#include "command_line.h"

namespace startup {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

DisplayEnvironment DisplayEnvironment::Current(int argc, const char* const* argv) {
  const cli::Parsed options = cli::Parse(argc, argv);
  return {Variable("QT_QPA_PLATFORM"), Variable("DISPLAY"), Variable("WAYLAND_DISPLAY"),
          options.namesPlatform, options.namesXDisplay};
}

std::string DefaultPlatforms(const DisplayEnvironment& environment) {
  if (!environment.qpaPlatform.empty() || environment.platformOption) return "";
  const bool x = !environment.xDisplay.empty() || environment.xDisplayOption;
  const bool wayland = !environment.waylandDisplay.empty();
  if (x) return wayland ? "xcb;wayland" : "xcb";
  return wayland ? "wayland" : "";
}

QtArguments::QtArguments(int argc, const char* const* argv)
    : texts_(argv, argv + std::max(argc, 0)) {
  const std::string platforms = DefaultPlatforms(DisplayEnvironment::Current(argc, argv));
  if (!platforms.empty() && !texts_.empty()) {
    // After the program's name: Qt reads its options anywhere on the line.
    texts_.insert(texts_.begin() + 1, {"-platform", platforms});
  }
  for (std::string& text : texts_) pointers_.push_back(text.data());
  argc_ = static_cast<int>(pointers_.size());
  pointers_.push_back(nullptr);  // argv[argc] is null, as main's is
}

}  // namespace startup
