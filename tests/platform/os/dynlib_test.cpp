#include "platform/os/dynlib.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/os/system.h"
#include "tests/support/temp_folder.h"

namespace vx {
namespace {

using ProbeFn = int (*)();
using NameFn = const char* (*)();

TEST(DynLib, WindowsNamesMapToTheHostFileNames) {
  using V = std::vector<std::string>;
  EXPECT_EQ(LibraryFileCandidates("Dirurevido.dll"), (V{"Dirurevido.so", "libDirurevido.so"}));
  EXPECT_EQ(LibraryFileCandidates("STKB17S.DLL"), (V{"STKB17S.so", "libSTKB17S.so"}));
  EXPECT_EQ(LibraryFileCandidates("C:\\Pkg\\X.Dll"), (V{"C:/Pkg/X.so", "C:/Pkg/libX.so"}));
  EXPECT_EQ(LibraryFileCandidates("libm.so.6"), (V{"libm.so.6"}));
}

TEST(DynLib, FindsBothFileNamesInTheProgramsFolder) {
  HMODULE a = LoadLibrary("OsProbeA.dll");
  ASSERT_NE(a, nullptr) << GetLastLibraryError();
  HMODULE b = LoadLibrary("OsProbeB.DLL");
  ASSERT_NE(b, nullptr) << GetLastLibraryError();
  auto fa = reinterpret_cast<ProbeFn>(GetProcAddress(a, "VxProbeValue"));
  auto fb = reinterpret_cast<ProbeFn>(GetProcAddress(b, "VxProbeValue"));
  ASSERT_TRUE(fa && fb);
  EXPECT_EQ(fa(), 17);
  EXPECT_EQ(fb(), 42);
  // The library knows its own file name.
  auto own = reinterpret_cast<NameFn>(GetProcAddress(b, "VxProbeOwnName"));
  ASSERT_TRUE(own);
  EXPECT_EQ(std::string(own()), GetHostExeFolder() + "libOsProbeB.so");
  EXPECT_EQ(GetProcAddress(a, "NoSuchExport"), nullptr);
  EXPECT_NE(GetLastLibraryError().find("NoSuchExport"), std::string::npos);
  EXPECT_TRUE(FreeLibrary(a));
  EXPECT_TRUE(FreeLibrary(b));
  EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST(DynLib, GivenFolderComesFirstAndMissingLibrariesFailCleanly) {
  test::TempFolder tmp;
  std::filesystem::copy_file(GetHostExeFolder() + "OsProbeA.so", tmp.Path("Custom.so"));
  TDynLib lib("Custom.dll", tmp.Path());
  ASSERT_TRUE(lib.Loaded()) << lib.Error();
  EXPECT_EQ(lib.Function<ProbeFn>("VxProbeValue")(), 17);
  EXPECT_EQ(lib.FileName(), tmp.Path("Custom.so"));
  // A Windows-style folder inside the name is honoured and searched alone.
  TDynLib by_path(std::string(tmp.Path()) + "\\custom.DLL");
  EXPECT_TRUE(by_path.Loaded()) << by_path.Error();
  TDynLib not_there(std::string(tmp.Path()) + "/OsProbeA.dll");
  EXPECT_FALSE(not_there.Loaded());  // not searched for elsewhere
  // Letter case of the stem does not matter, as on Windows.
  TDynLib other_case("CUSTOM.dll", tmp.Path());
  EXPECT_TRUE(other_case.Loaded()) << other_case.Error();

  TDynLib moved = std::move(lib);
  EXPECT_TRUE(moved.Loaded());
  EXPECT_FALSE(lib.Loaded());  // NOLINT(bugprone-use-after-move)

  TDynLib missing("NoSuchLibrary.dll", tmp.Path());
  EXPECT_FALSE(missing.Loaded());
  EXPECT_NE(missing.Error().find("NoSuchLibrary.dll"), std::string::npos);
  EXPECT_EQ(missing.Symbol("VxProbeValue"), nullptr);
  EXPECT_EQ(LoadLibrary(""), nullptr);

  // A file that exists but is no library gives the loader's reason.
  tmp.Write("Broken.so", "not an ELF file");
  TDynLib broken("Broken.dll", tmp.Path());
  EXPECT_FALSE(broken.Loaded());
  EXPECT_FALSE(broken.Error().empty());
}

TEST(DynLib, LoaderSearchPathAndOwnModuleName) {
  TDynLib libm("libm.so.6");
  ASSERT_TRUE(libm.Loaded()) << libm.Error();
  EXPECT_NE(libm.Symbol("cos"), nullptr);
  EXPECT_EQ(GetCallingModuleFileName(), std::filesystem::canonical("/proc/self/exe").string());
  EXPECT_EQ(GetModuleFileName(nullptr), "");
}

}  // namespace
}  // namespace vx
