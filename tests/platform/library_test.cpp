// Loading libraries: a bare name only from the program's own folder, ignoring letter case.
#include "platform/library.h"

#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ScopedCurrentDir;
using testsupport::TempDir;

// The copy number the loaded module reports, or 0 when it cannot be asked.
int CopyOf(platform::LibraryHandle library) {
  using Query = int (*)();
  auto query = reinterpret_cast<Query>(platform::GetProcAddress(library, "albavox_test_module_copy"));
  return query ? query() : 0;
}

enum class Copy { kNone, kOne, kTwo, kForeign };

void Put(Copy copy, const TempDir& dir, const std::string& name) {
  if (copy == Copy::kOne) fs::copy_file(PLATFORM_TEST_EXEDIR_MODULE, dir.path() / name);
  if (copy == Copy::kTwo) fs::copy_file(PLATFORM_TEST_CWD_MODULE, dir.path() / name);
  if (copy == Copy::kForeign) dir.WriteFile(name, std::string("MZ\x90\0\x03\0\0\0", 8) + std::string(200, '\0'));
}

TEST(LoadLibrary, BareNameIsLoadedOnlyFromTheProgramsOwnFolder) {
  struct Case {
    const char* what;
    Copy own;         // in the program's folder, as "TestMod.DLL"
    Copy current;     // in the current folder, as "TESTMOD.DLL"
    int loaded;       // the copy loaded, 0 for none
    const char* why;  // the reason after the path tried, when none is loaded
  };
  const Case cases[] = {
      {"own copy, ignoring letter case", Copy::kOne, Copy::kTwo, 1, ""},
      {"only the current folder has one", Copy::kNone, Copy::kTwo, 0, ": no such library file"},
      {"own copy is no library", Copy::kForeign, Copy::kTwo, 0, ": "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir program, current;  // a library once loaded stays loaded under its path
    Put(c.own, program, "TestMod.DLL");
    Put(c.current, current, "TESTMOD.DLL");
    const platform::ScopedLibraryFolder inProgram(program.str());
    const ScopedCurrentDir cwd(current.path());
    platform::LibraryHandle library = platform::LoadLibrary("testmod.dll");
    EXPECT_EQ(CopyOf(library), c.loaded);
    if (library) {
      EXPECT_EQ(platform::LastLibraryError(), "");
      EXPECT_EQ(platform::GetProcAddress(library, "no_such_symbol"), nullptr);
    } else {
      // The file tried is named as it lies (or would lie) in the program's folder.
      const std::string tried = program.str() + (c.own == Copy::kNone ? "/testmod.dll" : "/TestMod.DLL");
      EXPECT_EQ(platform::LastLibraryError().substr(0, tried.size() + std::strlen(c.why)), tried + c.why);
    }
    platform::FreeLibrary(library);
  }
}

TEST(LoadLibrary, TheProgramsOwnFolderIsTheExecutablesUnlessNamed) {
  // Copy 1 lies beside the test executable under an upper-case name.
  platform::LibraryHandle library = platform::LoadLibrary("Platform_Test_ExeDir_Module.DLL");
  ASSERT_NE(library, nullptr) << platform::LastLibraryError();
  EXPECT_EQ(CopyOf(library), 1);
  platform::FreeLibrary(library);
  TempDir elsewhere;
  const platform::ScopedLibraryFolder inProgram(elsewhere.str());
  EXPECT_EQ(platform::LoadLibrary("Platform_Test_ExeDir_Module.DLL"), nullptr);
}

TEST(LoadLibrary, NameWithAFolderIsResolvedAndLoadedFromThere) {
  TempDir first, second;
  Put(Copy::kTwo, first, "TESTMOD.DLL");
  Put(Copy::kOne, second, "TESTMOD.DLL");
  platform::LibraryHandle library = platform::LoadLibrary(first.str() + "/TestMod.dll");
  ASSERT_NE(library, nullptr) << platform::LastLibraryError();
  EXPECT_EQ(CopyOf(library), 2);
  // A relative name is known by its full path: each current folder loads its own library.
  platform::LibraryHandle other = nullptr;
  {
    const ScopedCurrentDir cwd(second.path());
    other = platform::LoadLibrary("./testmod.dll");
    EXPECT_EQ(platform::LoadLibrary("./missing/testmod.dll"), nullptr);
    EXPECT_NE(platform::LastLibraryError(), "");
  }
  EXPECT_EQ(CopyOf(other), 1);
  platform::FreeLibrary(other);
  platform::FreeLibrary(library);
  EXPECT_EQ(platform::LoadLibrary(""), nullptr);
  EXPECT_EQ(platform::GetProcAddress(nullptr, "albavox_test_module_copy"), nullptr);
  platform::FreeLibrary(nullptr);
}

TEST(ExecutableDir, NamesTheFolderOfTheRunningProgram) {
  const std::string dir = platform::ExecutableDir();
  ASSERT_TRUE(dir.ends_with('/')) << dir;
  EXPECT_TRUE(platform::FileExists(dir + "platform_library_test"));
  EXPECT_TRUE(platform::FileExists(dir + "PLATFORM_TEST_EXEDIR_MODULE.DLL"));
}

}  // namespace
