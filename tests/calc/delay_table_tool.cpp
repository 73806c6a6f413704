// Writes the copied delay table to standard output, for the spreadsheet test:
//   delay_table_tool TEMPO RATE SEPARATOR
// TEMPO and RATE are read with the one-character SEPARATOR, as the window
// reads its boxes.
#include <cstdio>
#include <string>

#include "calc/delay_extras.h"

int main(int argc, char** argv) {
  if (argc != 4 || std::string(argv[3]).size() != 1) {
    std::fputs("usage: delay_table_tool TEMPO RATE SEPARATOR\n", stderr);
    return 2;
  }
  const auto text = calc::DelayTableText(argv[1], argv[2], argv[3][0]);
  if (!text) {
    std::fputs("delay_table_tool: the tempo does not read as a number above zero\n", stderr);
    return 1;
  }
  if (std::fwrite(text->data(), 1, text->size(), stdout) != text->size() ||
      std::fflush(stdout) != 0) {
    std::perror("delay_table_tool: standard output");
    return 1;
  }
  return 0;
}
