#include "detect_tempo.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace cli {

std::string AnalyserPath() {
  std::string self(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= self.size()) return kAnalyserName;
  self.resize(static_cast<std::size_t>(length));
  return self.substr(0, self.rfind('/') + 1) + kAnalyserName;
}

int DetectTempo(const std::vector<std::string>& files, const char* name, std::FILE* err) {
  const std::string path = AnalyserPath();
  std::vector<std::string> arguments = {name, "--table", "--"};
  arguments.insert(arguments.end(), files.begin(), files.end());
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  ::execv(path.c_str(), argv.data());
  std::fprintf(err, "%s: cannot run the tempo analysis %s: %s\n", name, path.c_str(),
               std::strerror(errno));
  return 1;
}

}  // namespace cli
