// mp3report_man_page SOURCE OUTPUT: the manual page SOURCE with its macro section filled in from
// the macro table, written to OUTPUT (run by the build).
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "tools/mp3report/macro_list.h"
#include "zodizidu/macros/macro_table.h"

namespace {

// The line of the source page that the macro section replaces.
constexpr std::string_view kMarker = ".\\\" The macro section is generated from the macro table.";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: mp3report_man_page SOURCE OUTPUT\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  std::ostringstream page;
  bool replaced = false;
  for (std::string line; std::getline(in, line);) {
    if (line == kMarker) {
      page << mp3report::MacroListRoff(zodizidu::MacroDefinitions());
      replaced = true;
    } else {
      page << line << '\n';
    }
  }
  if (!in.eof() || !replaced) {
    std::cerr << "mp3report_man_page: " << argv[1] << " cannot be read or has no macro section marker\n";
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << page.str();
  out.close();
  if (!out) {
    std::cerr << "mp3report_man_page: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
