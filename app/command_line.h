// The command line of albavox: `albavox [FOLDER]`, --help, --version.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace app {

inline constexpr int kExitUsage = 2;

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kError };
  Action action = Action::kRun;
  // The compilation folder to change to before anything else; empty: stay where started.
  std::string folder;
  // For Error: what is wrong, one line.
  std::string error;
};

// Reads the arguments (without the program name). FOLDER may also be the path of the
// compilation's ALBUMS.INF file (any letter case), which stands for the folder holding it.
// A FOLDER that does not exist, or names some other file, is an Error.
CommandLine ParseCommandLine(const std::vector<std::string_view>& args);

// The texts of --help and --version.
std::string UsageText();
std::string VersionText();

// Handles the command line before any window exists: prints help, version or the error (exit
// code 0, 0 or kExitUsage returned), or changes to the compilation folder (a failure to do so is
// printed and kExitUsage returned). Returns -1 when the program goes on.
int ApplyCommandLine(int argc, const char* const* argv);

}  // namespace app
