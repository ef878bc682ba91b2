#include "env/vazuvirure_new_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "platform/os/dynlib.h"
#include "platform/os/system.h"
#include "platform/rtl/datetime.h"
#include "platform/ui/forms.h"
#include "platform/ui/headless.h"
#include "platform/ui/input.h"
#include "suite/vazuvirure/release_store.h"
#include "tests/support/temp_folder.h"
#include "tests/support/zip_writer.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

constexpr std::time_t kOld = 1'600'000'000;
constexpr std::time_t kNew = 1'700'000'000;

void SetTime(const std::string& file, std::time_t t) {
  fs::last_write_time(
      file, fs::file_time_type::clock::now() + std::chrono::seconds(t - std::time(nullptr)));
}

int ProbeVersion(const std::string& file) {
  TDynLib lib(file);
  auto version = lib.Function<int (*)()>("UpdateProbeVersion");
  return version ? version() : 0;
}

// A machine with the permission in its registry, a temporary folder, the
// job's library (release 1) in an installation folder and release 2 in a
// release store.
class SelfUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessWidgetSet()->Reset();
    Permission("\"GoAhead\"=\"1\"");
    tmpdir_.emplace("TMPDIR", tmp_.MakeFolder("temp"));
    tmp_.MakeFolder("app");
    tmp_.MakeFolder("build");
    fs::copy_file(VX_PROBE_V1, local_);
    SetTime(local_, kOld);
    fs::copy_file(VX_PROBE_V2, tmp_.Path("build/STKT01S.so"));
    SetTime(tmp_.Path("build/STKT01S.so"), kNew);
  }
  void TearDown() override { HeadlessWidgetSet()->Reset(); }

  void Permission(const std::string& values) {
    registry_.emplace("VX_REGISTRY_FILE",
                      tmp_.Write("machine.reg",
                                 "Windows Registry Editor Version 5.00\r\n\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Software\\QLMT\\Halvek]\r\n" +
                                     values + "\r\n"));
  }
  std::string Publish() {
    std::string error;
    EXPECT_TRUE(release::PutRelease(tmp_.Path("build/STKT01S.so"), store_, error)) << error;
    return release::DescribeRelease(store_, "STKT01S.so");
  }
  // What the update log received since the test began (kept beside the
  // test program).
  static std::string LogPath() {
    return GetHostExeFolder() + "Log/Alert_VAZuviRureNewFileU_" +
           FormatDateTime("yyyymmdd", Now()) + ".log";
  }
  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string NewLog() const { return ReadAll(LogPath()).substr(log_start_); }
  std::string LocalArchive() const { return tmp_.Path("temp/STKT01S.so.zip"); }
  // Everything in the installation folder.
  std::vector<std::string> AppFiles() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(tmp_.Path("app")))
      out.push_back(e.path().filename().string());
    return out;
  }

  test::TempFolder tmp_;
  std::optional<test::ScopedEnv> registry_, tmpdir_;
  std::string local_ = tmp_.Path("app/STKT01S.so");
  std::string store_ = tmp_.Path("release");
  std::size_t log_start_ = ReadAll(LogPath()).size();
};

// Ends the dialogs of an update: Retry while retries last, then Abort.
void AnswerRetries(int retries, const std::function<void()>& before_retry = {}) {
  HeadlessWidgetSet()->SetModalResponder([=](TCustomForm& form, const TDialogRecord&) mutable {
    bool retry = retries-- > 0;
    if (retry && before_retry) before_retry();
    ClickControl(dynamic_cast<TButton*>(form.FindComponent(retry ? "Retry" : "Abort")));
  });
}

TEST_F(SelfUpdate, NewerReleaseIsFetchedUnpackedAndLoads) {
  std::string info = Publish();
  std::string error;
  EXPECT_TRUE(UpdateFromFileInfo(info, local_, true, error));
  EXPECT_EQ(error, "");
  EXPECT_EQ(ProbeVersion(local_), 2);
  EXPECT_EQ(release::FileStamp(local_), FileInfoStamp(info));
  EXPECT_TRUE(fs::exists(LocalArchive()));  // left in place
  EXPECT_EQ(AppFiles(), std::vector<std::string>{"STKT01S.so"});
  // Now current: nothing is downloaded.
  fs::remove(LocalArchive());
  EXPECT_TRUE(UpdateFromFileInfo(info, local_, true, error));
  EXPECT_FALSE(fs::exists(LocalArchive()));
  EXPECT_TRUE(HeadlessWidgetSet()->Dialogs().empty());
  EXPECT_EQ(NewLog(), "");
}

TEST_F(SelfUpdate, BrokenOrHostileArchiveChangesNothing) {
  std::string info = "<Modify>20231114221320</Modify><Path>" + store_ + "/STKT01S.so</Path>";
  std::string archive = store_ + "/stkt01s.so.zip";
  struct Case {
    const char* what;
    std::function<void()> make;
  } cases[] = {
      {"not a zip", [&] { tmp_.Write("release/stkt01s.so.zip", "PK\x03\x04 broken"); }},
      {"leaves the folder",
       [&] {
         test::WriteZip(archive, {{"STKT01S.so", ReadAll(VX_PROBE_V2)}, {"../x", "outside"}});
       }},
  };
  for (const Case& c : cases) {
    c.make();
    std::string error;
    EXPECT_FALSE(UpdateFromFileInfo(info, local_, false, error)) << c.what;
    EXPECT_EQ(error.rfind("Unzip new file[" + local_ + "] failed. ", 0), 0u) << error;
    EXPECT_NE(NewLog().find(error), std::string::npos) << c.what;
    EXPECT_EQ(ProbeVersion(local_), 1) << c.what;
    EXPECT_EQ(AppFiles(), std::vector<std::string>{"STKT01S.so"}) << c.what;
    EXPECT_FALSE(fs::exists(tmp_.Path("x"))) << c.what;
  }
}

TEST_F(SelfUpdate, OnlyGoAheadOneAllowsUpdates) {
  std::string info = Publish();
  struct Case {
    const char* values;
    bool allowed;
  } cases[] = {{"\"GoAhead\"=\"0\"", false},
               {"\"Other\"=\"1\"", false},
               {"\"GoAhead\"=\"yes\"", false},
               {"\"GoAhead\"=\" 1 \"", true}};
  for (const Case& c : cases) {
    Permission(c.values);
    std::string error;
    EXPECT_TRUE(UpdateFromFileInfo(info, local_, false, error)) << c.values;
    EXPECT_EQ(ProbeVersion(local_), c.allowed ? 2 : 1) << c.values;
    EXPECT_EQ(NewLog(), "") << c.values;
  }
  // Without the key: no update, and a log line.
  registry_.emplace("VX_REGISTRY_FILE", tmp_.Path("missing.reg"));
  EXPECT_FALSE(UpgradeAllowed());
  EXPECT_NE(NewLog().find("] Read Upgrader Registry Error: No UPGRADER_REGISTRY_PATH\n"),
            std::string::npos);
}

TEST_F(SelfUpdate, NetworkFilesAreNeverReplaced) {
  std::string info = Publish();
  for (std::string file : {"\\\\server\\x\\STKT01S.so", "//server/x/STKT01S.so"}) {
    std::string error;
    EXPECT_FALSE(UpdateFromFileInfo(info, file, true, error));
    EXPECT_EQ(error, "Net File can't update![" + file + "]");
    EXPECT_NE(NewLog().find("] Net File can't update![" + file + "]\n"), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(LocalArchive()));
}

TEST_F(SelfUpdate, FailedDownloadEndsAtOnceOrAsksAgain) {
  // The store does not hold the release yet.
  std::string info = "<Modify>20231114221320</Modify><Path>" + store_ + "/STKT01S.so</Path>";
  std::string prefix = "DownLoad new file[" + local_ + "] failed. ";
  std::string error;
  EXPECT_FALSE(UpdateFromFileInfo(info, local_, false, error));
  EXPECT_EQ(error.rfind(prefix, 0), 0u) << error;
  EXPECT_GT(error.size(), prefix.size());  // the package's reason follows
  EXPECT_TRUE(HeadlessWidgetSet()->Dialogs().empty());

  // Retry, then Abort.
  AnswerRetries(1);
  EXPECT_FALSE(UpdateFromFileInfo(info, local_, true, error));
  const auto& shown = HeadlessWidgetSet()->Dialogs();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].Text, error);
  EXPECT_EQ(shown[0].DlgType, "mtError");
  EXPECT_EQ(shown[0].Buttons, (std::vector<std::string>{"Abort", "Retry"}));
  EXPECT_EQ(ProbeVersion(local_), 1);

  // The release appears while the dialog is open: Retry fetches it.
  HeadlessWidgetSet()->Reset();
  AnswerRetries(1, [&] { info = Publish(); });
  EXPECT_TRUE(UpdateFromFileInfo(info, local_, true, error)) << error;
  EXPECT_EQ(HeadlessWidgetSet()->Dialogs().size(), 1u);
  EXPECT_EQ(ProbeVersion(local_), 2);
}

TEST_F(SelfUpdate, MissingEntryPoints) {
  std::string info = Publish();
  std::string error;
  EXPECT_FALSE(UpdateFromFileInfo(info, local_, false, error, VX_FAKE_EMPTY_FOLDER));
  EXPECT_EQ(error, "function VaZuviRure.CompareFileToDown not found!");
  EXPECT_FALSE(UpdateFromFileInfo(info, local_, false, error, VX_FAKE_COMPARE_FOLDER));
  EXPECT_EQ(error, "DownLoad new file[" + local_ +
                       "] failed. function VaZuviRure.VAZuviRureFile not found!");
  EXPECT_EQ(ProbeVersion(local_), 1);
}

TEST(FileInfo, TaggedAndAssignmentForms) {
  struct Case {
    const char* description;
    const char* stamp;
    const char* folder;
  } cases[] = {
      {"<Modify>20240305101112</Modify><Path>\\\\srv\\rel\\STKB17S.DLL</Path>", "20240305101112",
       "\\\\srv\\rel\\"},
      {"Modify = '20240305101112', Path = '\\\\srv\\rel\\STKB17S.DLL'", "20240305101112",
       "\\\\srv\\rel\\"},
      {"<Path>http://host/rel/STKB17S.so</Path> Modify = '1'", "1", "http://host/rel/"},
      {"<Modify>2024</Modify>", "2024", ""},
      {"<Modify>2024", "", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileInfoStamp(c.description), c.stamp) << c.description;
    EXPECT_EQ(FileInfoFolder(c.description), c.folder) << c.description;
  }
}

}  // namespace
}  // namespace vx
