// The command line of albavox.
#include "app/command_line.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/version.h"

namespace app {

namespace {

constexpr std::string_view kIndexName = "ALBUMS.INF";

bool IsIndexName(std::string_view name) {
  if (name.size() != kIndexName.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(name[i])) != kIndexName[i]) return false;
  return true;
}

CommandLine Error(std::string text) {
  CommandLine result;
  result.action = CommandLine::Action::kError;
  result.error = std::move(text);
  return result;
}

// The folder a FOLDER argument stands for, or an Error.
CommandLine FolderOf(const std::string& arg) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(arg, error);
  CommandLine result;
  if (fs::is_directory(status)) {
    result.folder = arg;
    return result;
  }
  if (fs::exists(status)) {
    const fs::path path(arg);
    if (!IsIndexName(path.filename().string()))
      return Error("'" + arg + "' is neither a folder nor a compilation's ALBUMS.INF");
    result.folder = path.has_parent_path() ? path.parent_path().string() : std::string(".");
    return result;
  }
  if (error && error != std::errc::no_such_file_or_directory)
    return Error("cannot reach '" + arg + "': " + error.message());
  return Error("no such folder: '" + arg + "'");
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string_view>& args) {
  bool optionsEnded = false;
  bool help = false;
  bool version = false;
  std::vector<std::string> folders;
  for (const std::string_view arg : args) {
    if (!optionsEnded && (arg == "--help" || arg == "-h")) {
      help = true;
    } else if (!optionsEnded && (arg == "--version" || arg == "-V")) {
      version = true;
    } else if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
      return Error("unknown option '" + std::string(arg) + "'");
    } else {
      folders.emplace_back(arg);
    }
  }
  CommandLine result;
  if (help) {
    result.action = CommandLine::Action::kHelp;
    return result;
  }
  if (version) {
    result.action = CommandLine::Action::kVersion;
    return result;
  }
  if (folders.size() > 1) return Error("only one FOLDER may be given");
  if (folders.empty()) return result;
  if (folders.front().empty()) return Error("FOLDER is empty");
  return FolderOf(folders.front());
}

std::string UsageText() {
  return "Usage: albavox [FOLDER]\n"
         "Shows the MP3 compilation in FOLDER (default: the current folder): its albums, songs,\n"
         "covers and ID3 tags, and plays the songs. FOLDER holds ALBUMS.INF (written by albaindex)\n"
         "and MPEGDLL.DLL (albaindex --with-decoder places it there); FOLDER may also be the path of\n"
         "that ALBUMS.INF.\n"
         "\n"
         "  -h, --help     show this help and exit\n"
         "  -V, --version  show the version and exit\n";
}

std::string VersionText() { return std::string("albavox ") + platform::kProgramVersion + "\n"; }

int ApplyCommandLine(int argc, const char* const* argv) {
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const CommandLine line = ParseCommandLine(args);
  switch (line.action) {
    case CommandLine::Action::kHelp: std::fputs(UsageText().c_str(), stdout); return 0;
    case CommandLine::Action::kVersion: std::fputs(VersionText().c_str(), stdout); return 0;
    case CommandLine::Action::kError:
      std::fprintf(stderr, "albavox: %s\nTry 'albavox --help' for more information.\n", line.error.c_str());
      return kExitUsage;
    case CommandLine::Action::kRun: break;
  }
  if (!line.folder.empty() && ::chdir(line.folder.c_str()) != 0) {
    std::fprintf(stderr, "albavox: cannot enter '%s': %s\n", line.folder.c_str(), std::strerror(errno));
    return kExitUsage;
  }
  return -1;
}

}  // namespace app
