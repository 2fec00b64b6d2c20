// mp3report: writes a report line for every MP3 file named or found under the folders named.
#include <unistd.h>

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "tools/mp3report/report.h"
#include "zodizidu/macros/macro_table.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  std::ios::sync_with_stdio(false);
  zodizidu::MacroDefinitions();  // the table is complete before any file is read
  const std::vector<std::string> args(argv + 1, argv + argc);
  return mp3report::RunReport(args, std::cout, std::cerr, isatty(2) != 0);
}
