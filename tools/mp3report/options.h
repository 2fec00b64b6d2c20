// The command line of the report tool, parsed into a plain record without throwing.
#pragma once

#include <string>
#include <vector>

namespace mp3report {

struct ReportOptions {
  bool help = false;               // --help / -h: print the usage text and stop
  bool macros = false;             // --macros: list the macros and stop
  std::string templateText;        // -t TEMPLATE, or the contents of the -T file
  std::string templateFile;        // -T TEMPLATE_FILE as given; empty with -t
  std::string outputFile;          // -o OUTPUT; empty = standard output
  std::vector<std::string> paths;  // files and folders to report on, in the order given
};

struct ParseResult {
  ReportOptions options;
  std::string error;  // empty when the command line is usable
};

// Reads the arguments after the program name. The template file itself is read later.
ParseResult ParseArguments(const std::vector<std::string>& args);

// The usage text, one line per form, ending in a newline.
std::string UsageText();

// The template held by a template file: its bytes with one trailing line end ("\n" or "\r\n")
// dropped; every other line end stays part of the template.
std::string TemplateFromFile(std::string contents);

}  // namespace mp3report
