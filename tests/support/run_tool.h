// Running a built command-line tool and collecting what it says and how it ends.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

struct ToolRun {
  int exitCode = -1;  // -1 when the tool did not end normally
  std::string out;    // standard output
  std::string err;    // standard error
};

// Runs `program` with `args` in the folder `cwd` (the current one when empty).
ToolRun RunTool(const std::string& program, const std::vector<std::string>& args, const std::string& cwd = "");

}  // namespace testsupport
