// Loading libraries by name: a bare name only from the program's own folder, ignoring case.
#include "platform/library.h"

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

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Copy 2 of the module, built as "TESTMOD.DLL", becomes the current folder's library.
    fs::copy_file(PLATFORM_TEST_CWD_MODULE, tmp.path() / "TESTMOD.DLL");
  }
  TempDir tmp;
};

TEST_F(LibraryTest, BareNameFindsTheProgramsOwnLibraryIgnoringCaseAndNeverTheCurrentFolders) {
  ScopedCurrentDir cwd(tmp.path());
  EXPECT_EQ(platform::LoadLibrary("testmod.dll"), nullptr);
  const std::string tried = platform::ExecutableDir() + "testmod.dll";
  EXPECT_EQ(platform::LastLibraryError(), tried + ": no such library file");
  const platform::ScopedLibraryFolder own(tmp.str());
  platform::LibraryHandle library = platform::LoadLibrary("testmod.dll");
  ASSERT_NE(library, nullptr) << platform::LastLibraryError();
  EXPECT_EQ(CopyOf(library), 2);
  EXPECT_EQ(platform::GetProcAddress(library, "no_such_symbol"), nullptr);
  EXPECT_EQ(platform::LastLibraryError(), "");
  platform::FreeLibrary(library);
}

TEST_F(LibraryTest, ExecutablesFolderComesBeforeTheCurrentFolder) {
  // Copy 1 lies beside the test executable; copy 2 under the same name in the current folder.
  fs::copy_file(PLATFORM_TEST_CWD_MODULE, tmp.path() / "platform_test_exedir_module.dll");
  ScopedCurrentDir cwd(tmp.path());
  platform::LibraryHandle library = platform::LoadLibrary("Platform_Test_ExeDir_Module.DLL");
  ASSERT_NE(library, nullptr) << platform::LastLibraryError();
  EXPECT_EQ(CopyOf(library), 1);
  platform::FreeLibrary(library);
}

TEST_F(LibraryTest, EachCurrentFolderLoadsItsOwnLibraryOfTheSameNameWithAFolder) {
  // Copy 2 in the first folder, copy 1 under the same name in a second one; the first stays loaded.
  TempDir other;
  fs::copy_file(PLATFORM_TEST_EXEDIR_MODULE, other.path() / "TESTMOD.DLL");
  platform::LibraryHandle first = nullptr;
  {
    ScopedCurrentDir cwd(tmp.path());
    first = platform::LoadLibrary("./testmod.dll");
  }
  ASSERT_NE(first, nullptr) << platform::LastLibraryError();
  ScopedCurrentDir cwd(other.path());
  platform::LibraryHandle second = platform::LoadLibrary("./testmod.dll");
  ASSERT_NE(second, nullptr) << platform::LastLibraryError();
  EXPECT_EQ(CopyOf(first), 2);
  EXPECT_EQ(CopyOf(second), 1);
  platform::FreeLibrary(second);
  platform::FreeLibrary(first);
}

TEST_F(LibraryTest, NameWithSlashIsResolvedAndLoadedAsItIs) {
  platform::LibraryHandle library = platform::LoadLibrary(tmp.str() + "/TestMod.dll");
  ASSERT_NE(library, nullptr) << platform::LastLibraryError();
  EXPECT_EQ(CopyOf(library), 2);
  platform::FreeLibrary(library);
  // A name with a folder is not searched for elsewhere.
  ScopedCurrentDir cwd(tmp.path());
  EXPECT_EQ(platform::LoadLibrary("./missing/testmod.dll"), nullptr);
  EXPECT_NE(platform::LastLibraryError(), "");
}

TEST_F(LibraryTest, FilesThatAreNoLibraryFailWithoutHarm) {
  tmp.WriteFile("WINDOWS.DLL", std::string("MZ\x90\0\x03\0\0\0", 8) + std::string(200, '\0'));
  const platform::ScopedLibraryFolder own(tmp.str());
  EXPECT_EQ(platform::LoadLibrary("windows.dll"), nullptr);
  EXPECT_TRUE(platform::LastLibraryError().starts_with(tmp.str() + "/WINDOWS.DLL: ")) << platform::LastLibraryError();
  EXPECT_EQ(platform::LoadLibrary("nothing-here.dll"), nullptr);
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
