// The report run: command line, file search, analysis, expansion, output and summary.
#include "tools/mp3report/report.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/paths.h"
#include "tools/mp3report/file_list.h"
#include "tools/mp3report/list_macros.h"
#include "tools/mp3report/options.h"
#include "tools/mp3report/report_list.h"

namespace mp3report {

namespace {

constexpr const char* kProgram = "mp3report: ";

bool ReadWholeFile(const std::string& path, std::string& contents) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Progress on a terminal: one line rewritten in place, cleared at the end.
class Progress {
 public:
  Progress(std::ostream& err, int total, bool on)
      : err_(err), total_(total), on_(on && total > kProgressThreshold) {}
  void Step(int done) {
    if (!on_ || (done % 50 != 0 && done != total_)) return;
    err_ << "\r" << kProgram << "analysing " << done << " of " << total_ << " files" << std::flush;
  }
  ~Progress() {
    if (on_) err_ << "\r\x1b[K" << std::flush;
  }

 private:
  std::ostream& err_;
  int total_;
  bool on_;
};

}  // namespace

int RunReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool showProgress) {
  ParseResult parsed = ParseArguments(args);
  ReportOptions& options = parsed.options;
  if (!parsed.error.empty()) {
    err << kProgram << parsed.error << "\n" << UsageText();
    return kUsageError;
  }
  if (options.help) {
    out << UsageText();
    return kAllRead;
  }

  OutputDocument document;
  if (!options.templateFile.empty()) {
    std::string contents;
    if (!ReadWholeFile(options.templateFile, contents)) {
      err << kProgram << "cannot read the template file " << options.templateFile << ": "
          << std::strerror(errno) << "\n";
      return kUsageError;
    }
    options.templateText = TemplateFromFile(std::move(contents));
    document.templateName = platform::NamePart(options.templateFile);
  }

  std::ofstream file;
  if (!options.outputFile.empty()) {
    file.open(options.outputFile, std::ios::binary | std::ios::trunc);
    if (!file) {
      err << kProgram << "cannot write " << options.outputFile << ": " << std::strerror(errno)
          << "\n";
      return kUsageError;
    }
    const std::string full = platform::FullPathName(options.outputFile);
    document.fileName = platform::NamePart(full);
    document.folder = platform::DirPart(full);
  } else {
    document.folder = platform::FullPathName(".");
    if (document.folder.empty() || document.folder.back() != '/') document.folder += '/';
  }
  std::ostream& report = options.outputFile.empty() ? out : file;

  const FileList found = CollectFiles(options.paths);
  for (const std::string& folder : found.unreadableFolders)
    err << kProgram << "cannot list the folder " << folder << "\n";

  ReportList list;
  std::vector<std::string> notRead;
  {
    Progress progress(err, static_cast<int>(found.files.size()), showProgress);
    for (const std::string& path : found.files) {
      if (!list.Add(path)) notRead.push_back(path);
      progress.Step(list.Count());
    }
  }

  const zodizidu::TMacroDefinitions macros = ReportMacros(list, document);
  for (int n = 1; n <= list.Count(); ++n)
    report << macros.Expand(options.templateText, &list.File(n), n) << '\n';
  report.flush();
  if (!report) {
    err << kProgram << "writing the report failed\n";
    return kUsageError;
  }

  for (const std::string& path : notRead)
    err << kProgram << "not a readable MPEG audio file: " << path << "\n";
  err << kProgram << list.Count() << (list.Count() == 1 ? " file" : " files") << " reported, "
      << notRead.size() << " not read";
  if (!found.unreadableFolders.empty())
    err << ", " << found.unreadableFolders.size() << " folder(s) not listed";
  err << "\n";
  return notRead.empty() && found.unreadableFolders.empty() ? kAllRead : kSomeNotRead;
}

}  // namespace mp3report
