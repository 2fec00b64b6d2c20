// Test-side control of the scripted fake decoder library: scripts its answers, reads its call log.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace testsupport {

class FakeDecoder {
 public:
  // The built fake, and a variant of it that lacks the entry point "GetLayer".
  static std::filesystem::path LibraryPath();
  static std::filesystem::path IncompleteLibraryPath();
  // Copies the fake (or `source`) into `dir` under `fileName`; returns the copy's path.
  static std::filesystem::path InstallAs(const std::filesystem::path& dir, const std::string& fileName,
                                         const std::filesystem::path& source = LibraryPath());

  // Loads the fake at `path` (the same file the program under test loads shares its state with
  // this handle) and resets it.
  explicit FakeDecoder(const std::filesystem::path& path = LibraryPath());
  ~FakeDecoder();
  FakeDecoder(const FakeDecoder&) = delete;
  FakeDecoder& operator=(const FakeDecoder&) = delete;

  // Every call received since the last reset, as "Name(args);" entries in order.
  std::string Log() const;
  void ClearLog();
  // Default answers: "init" 1, everything else 0, no errors; empties the log.
  void Reset();
  // What entry point `name` returns from now on.
  void SetResult(const std::string& name, std::int32_t value);
  // What "LastError" reports after each call of `name` from now on.
  void SetError(const std::string& name, std::int32_t code);
  // Sets the end-of-stream byte handed to the last "Play"; false when there was none.
  bool EndStream();
  // The stream callbacks handed to the last "Open" (0 open .. 5 size), and its user pointer.
  void* StreamCallback(int which) const;
  void* StreamUser() const;

 private:
  template <typename Function>
  Function Resolve(const char* symbol) const;

  void* handle_ = nullptr;
};

}  // namespace testsupport
