// Where a report goes: a file written through a temporary file beside it, which takes the file's
// place only when the whole report has been written.
#pragma once

#include <sys/types.h>

#include <fstream>
#include <string>

namespace mp3report {

class ReportOutput {
 public:
  ReportOutput() = default;
  // Removes the temporary file of a report that was not put in place.
  ~ReportOutput();
  ReportOutput(const ReportOutput&) = delete;
  ReportOutput& operator=(const ReportOutput&) = delete;

  // Prepares writing the report to `path`. A regular file (or a new one) is written through a
  // temporary file in its folder, which keeps an existing file's permission bits; a symbolic
  // link is followed to its file. Anything else that exists (a device, a pipe) is written
  // directly. False, with the system's reason in `error`, when it cannot be written.
  bool Open(const std::string& path, std::string& error);

  // True when `other` names the very file the report will replace, under whatever name.
  bool IsSameFile(const std::string& other) const;

  std::ostream& stream() { return file_; }

  // Puts the written report in place of the file. False, with the reason in `error`, when
  // writing failed; the file is then as it was before the run.
  bool Commit(std::string& error);

 private:
  void RemoveTemporary();

  std::ofstream file_;
  std::string target_;     // the file that the report replaces
  std::string temporary_;  // empty when written directly or once committed
  bool exists_ = false;    // the target existed when the run began
  dev_t device_ = 0;       // and was this file
  ino_t inode_ = 0;
};

}  // namespace mp3report
