// New contents for files of the compilation folder, written beside them under temporary names and
// put in place together in one step each, or not at all.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace albaindex {

inline constexpr const char* kIndexName = "ALBUMS.INF";

// The permissions a newly created file gets under the process's umask.
mode_t NewFileMode();

// The new contents of the file `target` inside `folder`. Until it is put in place, and after
// Undo, the folder holds what it held before. A signal that ends the program (SIGINT, SIGTERM,
// SIGHUP) removes the temporary files of every StagedFile alive first.
class StagedFile {
 public:
  StagedFile(std::string folder, std::string target);
  // Removes the temporary file of contents not put in place, or the file Commit kept aside.
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Writes `bytes` to a temporary file `target`.tmp-XXXXXX with the permissions `mode` and
  // flushes it to the disk. Returns why it failed (the temporary file is then removed), or "".
  std::string Write(std::span<const std::uint8_t> bytes, mode_t mode);

  // Puts the written file in `target`'s place in one step; a file it replaces is kept aside under
  // the temporary name. Returns why it failed (nothing changed), or "".
  std::string Commit();
  // Puts back what Commit replaced: the old file, or no file when there was none. Returns why it
  // failed, or "".
  std::string Undo();
  // Removes the file Commit kept aside.
  void Finish();

 private:
  // How Commit put the new file in place, which says how Undo and Finish go.
  enum class Placed { kNot, kNew, kExchanged, kAside };

  std::string folder_;
  std::string target_;
  std::string temporary_;  // empty until written
  std::string aside_;      // the old file's name when it was moved aside
  Placed placed_ = Placed::kNot;
  int slot_ = -1;  // where the signal handler finds the temporary name
};

// Puts every file of `files` in place, in that order, or none of them: when one cannot be put in
// place, those put before it are undone. The signals that end the program wait until this is
// over. Returns why it failed, or "".
std::string CommitTogether(std::span<StagedFile* const> files, const std::string& folder);

}  // namespace albaindex
