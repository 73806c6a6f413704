// tpv120 --detect-tempo: the analysis program beside tpv120 takes over the
// process, so no audio library is linked into the calculator and its exit
// status is the calculator's.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace cli {

inline constexpr char kAnalyserName[] = "tempiva-analyse";

// The analysis program in the folder of the running program.
std::string AnalyserPath();

// Runs the analysis program on `files` in place of this process (execv): it
// prints a line a file and returns 0, 1 or 2 itself. Returns 1 only when it
// cannot be started, saying why on `err`.
int DetectTempo(const std::vector<std::string>& files, const char* name, std::FILE* err);

}  // namespace cli
