// The report run: command line, file search, analysis, expansion, output and summary.
#include "tools/mp3report/report.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "platform/interrupted.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "tools/mp3report/file_list.h"
#include "tools/mp3report/list_macros.h"
#include "tools/mp3report/macro_list.h"
#include "tools/mp3report/options.h"
#include "tools/mp3report/report_list.h"
#include "tools/mp3report/report_output.h"
#include "zodizidu/macros/macro_table.h"

namespace mp3report {

namespace {

constexpr const char* kProgram = "mp3report: ";

// The bytes of the template file at `path`; false with the system's reason in `error` when it
// cannot be read (a folder, no permission, a read error). The user names it, so a pipe is read as
// a shell hands it over (`-T <(...)`, `-T /dev/stdin`), waiting for its writer like any reader.
bool ReadTemplateFile(const std::string& path, std::string& contents, std::string& error) {
  const int fd = platform::RetryInterrupted([&] { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); });
  struct stat facts {};
  if (fd >= 0 && ::fstat(fd, &facts) == 0 && S_ISDIR(facts.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    error = std::strerror(errno);
    return false;
  }
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  std::array<char, 65536> buffer{};
  while (true) {
    const ssize_t got = platform::RetryInterrupted([&] { return ::read(fd, buffer.data(), buffer.size()); });
    if (got == 0) break;
    if (got < 0) {
      error = std::strerror(errno);
      ::close(fd);
      return false;
    }
    contents.append(buffer.data(), static_cast<std::size_t>(got));
  }
  ::close(fd);
  return true;
}

// Names in messages follow the report's own text rule.
std::string Shown(const std::string& path) { return platform::ToUtf8(path); }

// Progress on a terminal: one line rewritten in place, cleared at the end.
class Progress {
 public:
  Progress(std::ostream& err, int total, bool on) : err_(err), total_(total), on_(on && total > kProgressThreshold) {}
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

int RunReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool showProgress) {
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
  if (options.macros) {
    out << MacroListText(zodizidu::MacroDefinitions());
    return kAllRead;
  }

  OutputDocument document;
  if (!options.templateFile.empty()) {
    std::string contents;
    std::string error;
    if (!ReadTemplateFile(options.templateFile, contents, error)) {
      err << kProgram << "cannot read the template file " << Shown(options.templateFile) << ": " << error << "\n";
      return kUsageError;
    }
    options.templateText = TemplateFromFile(std::move(contents));
    document.templateName = platform::NamePart(options.templateFile);
  }

  ReportOutput file;
  if (!options.outputFile.empty()) {
    std::string error;
    if (!file.Open(options.outputFile, error)) {
      err << kProgram << "cannot write " << Shown(options.outputFile) << ": " << error << "\n";
      return kUsageError;
    }
    const std::string full = platform::FullPathName(options.outputFile);
    document.fileName = platform::NamePart(full);
    document.folder = platform::DirPart(full);
  } else {
    document.folder = platform::FullPathName(".");
    if (document.folder.empty() || document.folder.back() != '/') document.folder += '/';
  }
  std::ostream& report = options.outputFile.empty() ? out : file.stream();

  const FileList found = CollectFiles(options.paths);
  for (const std::string& path : found.files) {
    if (file.IsSameFile(path)) {
      err << kProgram << "the output " << Shown(options.outputFile) << " is one of the files to report on ("
          << Shown(path) << ")\n";
      return kUsageError;
    }
  }
  for (const std::string& folder : found.unreadableFolders)
    err << kProgram << "cannot list the folder " << Shown(folder) << "\n";

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
  for (int n = 1; n <= list.Count(); ++n) report << macros.Expand(options.templateText, &list.File(n), n) << '\n';
  std::string writeError;
  const bool written = options.outputFile.empty() ? static_cast<bool>(report.flush()) : file.Commit(writeError);
  if (!written) {
    err << kProgram << (writeError.empty() ? "writing the report failed" : writeError) << "\n";
    return kUsageError;
  }

  for (const std::string& path : notRead) err << kProgram << "not a readable MPEG audio file: " << Shown(path) << "\n";
  err << kProgram << list.Count() << (list.Count() == 1 ? " file" : " files") << " reported, " << notRead.size()
      << " not read";
  if (!found.unreadableFolders.empty()) err << ", " << found.unreadableFolders.size() << " folder(s) not listed";
  err << "\n";
  return notRead.empty() && found.unreadableFolders.empty() ? kAllRead : kSomeNotRead;
}

}  // namespace mp3report
