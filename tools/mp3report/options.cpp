// Command-line parsing of the report tool.
#include "tools/mp3report/options.h"

namespace mp3report {

namespace {

// Takes the value of an option: the rest of "-tVALUE", or the next argument.
bool TakeValue(const std::vector<std::string>& args, std::size_t& i, std::string& value) {
  if (args[i].size() > 2) {
    value = args[i].substr(2);
    return true;
  }
  if (i + 1 >= args.size()) return false;
  value = args[++i];
  return true;
}

}  // namespace

ParseResult ParseArguments(const std::vector<std::string>& args) {
  ParseResult result;
  ReportOptions& o = result.options;
  bool haveTemplate = false;
  bool haveOutput = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      o.paths.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      o.help = true;
    } else if (arg == "--macros") {
      o.macros = true;
    } else if (arg[1] == 't' || arg[1] == 'T') {
      if (haveTemplate) {
        result.error = "give one template, with -t or -T";
        return result;
      }
      std::string value;
      if (!TakeValue(args, i, value)) {
        result.error = std::string("option -") + arg[1] + " needs a value";
        return result;
      }
      haveTemplate = true;
      (arg[1] == 't' ? o.templateText : o.templateFile) = value;
      if (arg[1] == 'T' && value.empty()) {
        result.error = "option -T needs a file name";
        return result;
      }
    } else if (arg[1] == 'o') {
      if (haveOutput) {
        result.error = "give one output file";
        return result;
      }
      if (!TakeValue(args, i, o.outputFile) || o.outputFile.empty()) {
        result.error = "option -o needs a file name";
        return result;
      }
      haveOutput = true;
    } else {
      result.error = "unknown option " + arg;
      return result;
    }
  }
  if (o.help || o.macros) return result;
  if (!haveTemplate)
    result.error = "a template is needed (-t TEMPLATE or -T TEMPLATE_FILE)";
  else if (o.paths.empty())
    result.error = "name at least one MP3 file or folder";
  return result;
}

std::string UsageText() {
  return "usage: mp3report (-t TEMPLATE | -T TEMPLATE_FILE) [-o OUTPUT] PATH...\n"
         "       mp3report --help | --macros\n"
         "Expands the report template once for every MP3 file named or found under the folders\n"
         "named (*.mp3 in any letter case, folders searched recursively) and writes each\n"
         "expansion followed by a newline to OUTPUT or to standard output.\n"
         "Items are written %NAME[,ALIGN[,WIDTH[,FILL[,CASE]]]]%, e.g. \"%N,R,3%. %GAT,T%\";\n"
         "--macros lists every macro with its kind, default width and description.\n"
         "Exit status: 0 all files read, 1 some could not be read, 2 usage or output error.\n";
}

std::string TemplateFromFile(std::string contents) {
  if (!contents.empty() && contents.back() == '\n') {
    contents.pop_back();
    if (!contents.empty() && contents.back() == '\r') contents.pop_back();
  }
  return contents;
}

}  // namespace mp3report
